#include "viewer/FrameRecorder.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <future>
#include <mutex>
#include <vector>

#include "tests/support/TempDir.h"
#include "tests/viewer/PngReader.h"

namespace pelorin {
namespace {

// A 2 x 1 frame whose first byte tells frames apart.
FrameImage frameNumbered(int n) {
    FrameImage frame;
    frame.width = 2;
    frame.height = 1;
    frame.rgb = {static_cast<std::uint8_t>(n), 0, 0, 0, 0, 0};
    return frame;
}

TEST(FrameRecorderTest, WritesNumberedPngFilesAndReportsTotalsWhenFinished) {
    testing::TempDir dir;
    std::promise<FrameRecorder::Summary> finished;
    {
        FrameRecorder recorder(dir.path(), 100);
        for (int n = 1; n <= 3; ++n) EXPECT_TRUE(recorder.offer(frameNumbered(n)));
        recorder.finish([&](const FrameRecorder::Summary& s) { finished.set_value(s); });
        EXPECT_FALSE(recorder.offer(frameNumbered(4)));  // finishing: no more frames
        const FrameRecorder::Summary totals = finished.get_future().get();
        EXPECT_EQ(totals.written, 3U);
        EXPECT_EQ(totals.dropped, 1U);
        EXPECT_EQ(totals.failed, 0U);
    }
    for (int n = 1; n <= 3; ++n) {
        std::string error;
        const FrameImage back = testing::readPng(dir.file(FrameRecorder::frameFileName(n)), &error);
        ASSERT_EQ(back.width, 2) << error;
        EXPECT_EQ(back.rgb, frameNumbered(n).rgb);
    }
    // Nothing else is left in the folder (no partly written files).
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3);
    EXPECT_EQ(FrameRecorder::frameFileName(1234567), "frame-1234567.png");
}

TEST(FrameRecorderTest, FailedWritesLeaveNoGapAndAreReportedOnce) {
    std::vector<std::string> paths;
    int calls = 0;
    std::vector<std::string> failures;
    const auto writer = [&](const std::string& path, const FrameImage&, std::string* reason) {
        ++calls;
        if (calls == 2 || calls == 3) {
            *reason = "No space left on device";
            return false;
        }
        paths.push_back(path);
        return true;
    };
    const auto onFailure = [&](const std::string& path, const std::string& reason) {
        failures.push_back(path + " " + reason);
    };
    FrameRecorder recorder("out", 100, writer, onFailure);
    for (int n = 1; n <= 5; ++n) recorder.offer(frameNumbered(n));
    const FrameRecorder::Summary totals = recorder.finishAndWait();
    EXPECT_EQ(totals.written, 3U);
    EXPECT_EQ(totals.failed, 2U);
    EXPECT_EQ(paths, (std::vector<std::string>{"out/frame-000001.png", "out/frame-000002.png",
                                               "out/frame-000003.png"}));
    EXPECT_EQ(failures, std::vector<std::string>{"out/frame-000002.png No space left on device"});
}

// The disk stands still: offers keep returning at once, the queue holds its capacity and the
// rest is dropped and counted; what was queued is written once the disk moves again.
TEST(FrameRecorderTest, SlowDiskCostsDroppedFramesNotAWaitingCaller) {
    std::mutex mutex;
    std::condition_variable changed;
    bool writing = false;
    bool diskMoves = false;
    std::vector<int> written;
    const auto stuckWriter = [&](const std::string&, const FrameImage& frame, std::string*) {
        std::unique_lock<std::mutex> lock(mutex);
        writing = true;
        changed.notify_all();
        changed.wait(lock, [&] { return diskMoves; });
        written.push_back(frame.rgb[0]);
        return true;
    };
    constexpr std::size_t kCapacity = 3;
    FrameRecorder recorder("out", kCapacity, stuckWriter);
    recorder.offer(frameNumbered(1));
    {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&] { return writing; });  // frame 1 is on its way to the disk
    }
    int queued = 0;
    for (int n = 2; n <= 20; ++n) queued += recorder.offer(frameNumbered(n)) ? 1 : 0;
    EXPECT_EQ(queued, 3);
    EXPECT_EQ(recorder.summary().dropped, 16U);
    {
        std::lock_guard<std::mutex> lock(mutex);
        diskMoves = true;
    }
    changed.notify_all();
    const FrameRecorder::Summary totals = recorder.finishAndWait();
    EXPECT_EQ(totals.written, 4U);
    EXPECT_EQ(totals.dropped, 16U);
    EXPECT_EQ(written, (std::vector<int>{1, 2, 3, 4}));
}

}  // namespace
}  // namespace pelorin
