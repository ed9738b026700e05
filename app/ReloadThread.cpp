#include "app/ReloadThread.h"

#include <system_error>

namespace pelorin {

ReloadThread::~ReloadThread() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

bool ReloadThread::request() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!thread_.joinable()) {
        try {
            thread_ = std::thread([this] { run(); });
        } catch (const std::system_error&) {
            return false;
        }
    }
    waiting_ = true;
    changed_.notify_all();
    return true;
}

bool ReloadThread::waitUntilIdle(std::chrono::nanoseconds timeout) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return !waiting_ && !running_; });
}

void ReloadThread::run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return waiting_ || stopping_; });
        if (stopping_) return;
        waiting_ = false;
        running_ = true;
        lock.unlock();
        work_();
        lock.lock();
        running_ = false;
        changed_.notify_all();
    }
}

}  // namespace pelorin
