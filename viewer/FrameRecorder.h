// Writes frames as numbered PNG files on a thread of its own, so the thread that draws them
// never waits for the disk.
//
// Frames wait in a queue of fixed length. A frame offered while the queue is full is dropped
// and counted, so a slow disk costs frames, never the drawing thread's pace, and the memory
// held stays bounded. Files are numbered in the order written, without gaps
// (frame-000001.png, frame-000002.png, ...), so video tools read the folder as one sequence.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "viewer/FrameImage.h"

namespace pelorin {

class FrameRecorder {
  public:
    // Writes one frame to a new file `path`; false with `reason` on failure.
    using Writer =
        std::function<bool(const std::string& path, const FrameImage& frame, std::string* reason)>;
    struct Summary {
        std::uint64_t written = 0;
        std::uint64_t dropped = 0;  // the queue was full when they came
        std::uint64_t failed = 0;   // the writer refused them
    };
    // Runs on the writer thread: after the first failed write (with the file and the reason),
    // and once when finish() has been called and every queued frame is dealt with.
    using FailureHandler = std::function<void(const std::string& path, const std::string& reason)>;
    using FinishHandler = std::function<void(const Summary& summary)>;

    static constexpr std::size_t kDefaultCapacity = 8;

    // Files go to `folder`, which must exist. The default writer is fast PNG compression to a
    // file that appears under its final name only when complete.
    FrameRecorder(std::string folder, std::size_t capacity = kDefaultCapacity,
                  Writer writer = nullptr, FailureHandler onFailure = nullptr);
    // finishAndWait().
    ~FrameRecorder();
    FrameRecorder(const FrameRecorder&) = delete;
    FrameRecorder& operator=(const FrameRecorder&) = delete;

    // Queues the frame, or drops and counts it when the queue is full or finish() was called.
    // Returns whether it was queued. Never waits for a write. Any thread.
    bool offer(FrameImage frame);
    // Takes no more frames; `onFinished` (may be empty) runs once the queue is empty. The first
    // call counts; later ones do nothing. Any thread.
    void finish(FinishHandler onFinished);
    // finish(), unless called before, then waits until every queued frame is dealt with and the
    // writer thread has ended; returns the final totals. Not from a handler of this recorder.
    Summary finishAndWait();
    // The totals so far. Any thread.
    Summary summary() const;

    const std::string& folder() const { return folder_; }
    // "frame-000001.png" for 1.
    static std::string frameFileName(std::uint64_t number);

  private:
    void writeLoop();

    const std::string folder_;
    const std::size_t capacity_;
    const Writer writer_;
    const FailureHandler onFailure_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<FrameImage> queue_;
    Summary summary_;
    bool finishing_ = false;
    FinishHandler onFinished_;
    std::thread thread_;  // last: starts once everything above is ready
};

}  // namespace pelorin
