// A thread of its own for reading a setting file again, so that the thread asking for it (the
// viewer's, from a key) goes on drawing while the file and its meshes are read.
//
// Requests run one at a time, in the order they came; a request made while another is waiting
// adds nothing, because the waiting one will read the newest file anyway. The thread begins
// with the first request. Every function may be called from any thread but the worker's own.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace pelorin {

class ReloadThread {
  public:
    explicit ReloadThread(std::function<void()> work) : work_(std::move(work)) {}
    // Lets a running request finish, drops a waiting one and ends the thread.
    ~ReloadThread();
    ReloadThread(const ReloadThread&) = delete;
    ReloadThread& operator=(const ReloadThread&) = delete;

    // Returns at once; the work runs on the reload thread. False when no thread could be made.
    bool request();
    // Waits until no request is waiting or running, or `timeout` passes; true when idle.
    bool waitUntilIdle(std::chrono::nanoseconds timeout);

  private:
    void run();

    std::function<void()> work_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool waiting_ = false;
    bool running_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace pelorin
