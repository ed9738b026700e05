#include "viewer/FrameRecorder.h"

#include <cstdio>
#include <utility>

#include "viewer/PngWriter.h"

namespace pelorin {
namespace {

bool writeFastPng(const std::string& path, const FrameImage& frame, std::string* reason) {
    return replacePng(path, frame, reason, PngCompression::Fast);
}

}  // namespace

FrameRecorder::FrameRecorder(std::string folder, std::size_t capacity, Writer writer,
                             FailureHandler onFailure)
    : folder_(std::move(folder)),
      capacity_(capacity),
      writer_(writer ? std::move(writer) : Writer(writeFastPng)),
      onFailure_(std::move(onFailure)),
      thread_([this] { writeLoop(); }) {}

FrameRecorder::~FrameRecorder() {
    finishAndWait();
}

FrameRecorder::Summary FrameRecorder::finishAndWait() {
    finish(nullptr);
    if (thread_.joinable()) thread_.join();
    return summary();
}

bool FrameRecorder::offer(FrameImage frame) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (finishing_ || queue_.size() >= capacity_) {
            ++summary_.dropped;
            return false;
        }
        queue_.push_back(std::move(frame));
    }
    wake_.notify_one();
    return true;
}

void FrameRecorder::finish(FinishHandler onFinished) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (finishing_) return;
        finishing_ = true;
        onFinished_ = std::move(onFinished);
    }
    wake_.notify_one();
}

FrameRecorder::Summary FrameRecorder::summary() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return summary_;
}

std::string FrameRecorder::frameFileName(std::uint64_t number) {
    char name[40];
    std::snprintf(name, sizeof name, "frame-%06llu.png", static_cast<unsigned long long>(number));
    return name;
}

void FrameRecorder::writeLoop() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return !queue_.empty() || finishing_; });
        if (queue_.empty()) break;  // finishing, and nothing left
        const FrameImage frame = std::move(queue_.front());
        queue_.pop_front();
        // Numbers follow the files written, so a failed write leaves no gap.
        const std::string path = folder_ + "/" + frameFileName(summary_.written + 1);
        lock.unlock();
        std::string reason;
        const bool written = writer_(path, frame, &reason);
        lock.lock();
        if (written) {
            ++summary_.written;
        } else if (summary_.failed++ == 0 && onFailure_) {
            lock.unlock();
            onFailure_(path, reason);
            lock.lock();
        }
    }
    const Summary totals = summary_;
    const FinishHandler onFinished = std::move(onFinished_);
    lock.unlock();
    if (onFinished) onFinished(totals);
}

}  // namespace pelorin
