#include "viewer/TaskQueue.h"

#include <fcntl.h>
#include <unistd.h>

namespace pelorin {

TaskQueue::TaskQueue() {
    int ends[2];
    if (pipe2(ends, O_NONBLOCK | O_CLOEXEC) == 0) {
        readEnd_ = ends[0];
        writeEnd_ = ends[1];
    }
}

std::future<bool> TaskQueue::post(std::function<void()> task) {
    Task entry{std::move(task), std::promise<bool>()};
    std::future<bool> result = entry.done.get_future();
    std::lock_guard<std::mutex> lock(mutex_);
    if (closed_) {
        entry.done.set_value(false);
        return result;
    }
    tasks_.push_back(std::move(entry));
    if (writeEnd_ >= 0) {
        const char byte = 1;
        // A full pipe is readable already; nothing is lost by skipping the byte.
        [[maybe_unused]] ssize_t written = write(writeEnd_, &byte, 1);
    }
    return result;
}

void TaskQueue::runPending() {
    std::deque<Task> batch;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        batch.swap(tasks_);
    }
    // Run outside the lock: a task may post further tasks.
    for (Task& task : batch) {
        task.work();
        task.done.set_value(true);
    }
}

void TaskQueue::close() {
    std::deque<Task> dropped;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closed_ = true;
        dropped.swap(tasks_);
    }
    for (Task& task : dropped) task.done.set_value(false);
}

void TaskQueue::clearWake() {
    if (readEnd_ < 0) return;
    char buffer[64];
    while (read(readEnd_, buffer, sizeof buffer) > 0) {
    }
}

}  // namespace pelorin
