#include "viewer/FramePacer.h"

#include <gtest/gtest.h>

#include "util/MessageStream.h"

namespace pelorin {
namespace {

using Clock = FramePacer::Clock;
using std::chrono::milliseconds;

TEST(FramePacerTest, FirstFrameIsDueAtOnceThenSleepsWithoutARequestAndKeepsToTheCap) {
    FramePacer pacer(50.0);  // 20 ms period
    EXPECT_EQ(pacer.waitBeforeFrame(Clock::time_point{}), Clock::duration::zero());
    const Clock::time_point start{milliseconds(1000)};
    pacer.frameStarted(start);
    EXPECT_FALSE(pacer.waitBeforeFrame(start + milliseconds(500)).has_value());

    pacer.requestFrame();
    EXPECT_EQ(pacer.waitBeforeFrame(start + milliseconds(5)), milliseconds(15));
    EXPECT_EQ(pacer.waitBeforeFrame(start + milliseconds(20)), Clock::duration::zero());
    // A request long after the last frame is served at once: no added latency.
    EXPECT_EQ(pacer.waitBeforeFrame(start + milliseconds(900)), Clock::duration::zero());
    // A clock reading before the last frame never asks for more than one period.
    EXPECT_EQ(pacer.waitBeforeFrame(start - milliseconds(300)), milliseconds(20));
}

// The cap comes from the environment text; a bad one falls back with a message naming it.
TEST(FramePacerTest, CapComesFromTheEnvironmentTextOrFallsBackWithAMessage) {
    StringSink quiet;
    MessageStream none(quiet, TextEncoding::Utf8);
    EXPECT_EQ(maxFramesPerSecondFrom(nullptr, none), 60.0);
    EXPECT_EQ(maxFramesPerSecondFrom("", none), 60.0);
    EXPECT_EQ(maxFramesPerSecondFrom("30", none), 30.0);
    EXPECT_EQ(maxFramesPerSecondFrom("1000", none), 1000.0);
    EXPECT_EQ(quiet.text(), "");
    for (const char* bad : {"fast", "0", "-5", "30fps", "1e9", "nan"}) {
        StringSink sink;
        MessageStream errors(sink, TextEncoding::Utf8);
        EXPECT_EQ(maxFramesPerSecondFrom(bad, errors), 60.0) << bad;
        EXPECT_EQ(sink.text(),
                  std::string("環境変数 PELORIN_MAX_FPS の値が不正です (1 から 1000 の数): ") +
                      bad + " → 上限は毎秒 60 フレーム\n");
    }
}

}  // namespace
}  // namespace pelorin
