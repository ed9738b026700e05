// Work handed to the viewer thread by other threads, with a descriptor that wakes the
// viewer's poll when work arrives.
#pragma once

#include <deque>
#include <functional>
#include <future>
#include <mutex>

namespace pelorin {

class TaskQueue {
  public:
    TaskQueue();
    TaskQueue(const TaskQueue&) = delete;
    TaskQueue& operator=(const TaskQueue&) = delete;

    // Any thread. After close() the task is dropped at once and the future is false.
    std::future<bool> post(std::function<void()> task);
    // Viewer thread: runs what is queued now (tasks posted meanwhile wait for the next call).
    void runPending();
    // Viewer thread, when it ends: drops every queued task (their futures turn false).
    void close();

    // Readable while tasks wait; -1 when no pipe could be made (then the poller must not
    // sleep without a timeout). clearWake() before runPending() so no task is missed.
    int wakeFd() const { return readEnd_; }
    void clearWake();

  private:
    struct Task {
        std::function<void()> work;
        std::promise<bool> done;
    };

    std::mutex mutex_;
    std::deque<Task> tasks_;
    bool closed_ = false;
    int readEnd_ = -1;
    int writeEnd_ = -1;
};

}  // namespace pelorin
