// Files that are not regular files, for the tests of readers that must refuse them, and a guard
// that keeps a wrong reader from hanging the test on a FIFO.
#pragma once

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>

namespace pelorin::testing {

// Makes a FIFO at `path`; false when the system refuses.
inline bool makeFifo(const std::string& path) {
    return mkfifo(path.c_str(), 0600) == 0;
}

// Binds a Unix socket at `path` and keeps it for the guard's life.
class SocketFile {
  public:
    explicit SocketFile(const std::string& path) : fd_(socket(AF_UNIX, SOCK_STREAM, 0)) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (fd_ < 0 || path.size() >= sizeof address.sun_path) return;
        std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
        bound_ = bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    }
    ~SocketFile() {
        if (fd_ >= 0) close(fd_);
    }
    SocketFile(const SocketFile&) = delete;
    SocketFile& operator=(const SocketFile&) = delete;
    bool ok() const { return bound_; }

  private:
    int fd_;
    bool bound_ = false;
};

// While it lives, a reader blocked in opening the FIFO at `path` is set free after `patience`:
// a writer opens the FIFO and closes it at once, so the reader sees an empty file. A test of
// code that must never block then fails instead of hanging.
class FifoUnblocker {
  public:
    FifoUnblocker(std::string path, std::chrono::milliseconds patience)
        : path_(std::move(path)), thread_([this, patience] { run(patience); }) {}
    ~FifoUnblocker() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }
    FifoUnblocker(const FifoUnblocker&) = delete;
    FifoUnblocker& operator=(const FifoUnblocker&) = delete;

  private:
    void run(std::chrono::milliseconds patience) {
        constexpr std::chrono::milliseconds kRetry{100};
        std::unique_lock<std::mutex> lock(mutex_);
        for (auto wait = patience; !wake_.wait_for(lock, wait, [this] { return done_; });
             wait = kRetry) {
            // Succeeds only when a reader waits; then that reader gets its end of file.
            const int fd = open(path_.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) close(fd);
        }
    }

    std::string path_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    std::thread thread_;
};

}  // namespace pelorin::testing
