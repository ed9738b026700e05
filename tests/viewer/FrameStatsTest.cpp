#include "viewer/FrameStats.h"

#include <gtest/gtest.h>

namespace pelorin {
namespace {

using std::chrono::milliseconds;

TEST(FrameStatsTest, OneLinePerSecondOfFramesWithMeanAndLongest) {
    FrameStats stats;
    const FrameStats::Clock::time_point t0{};
    // Frames of 10, 30 and 20 ms, one every 400 ms: the third ends the first second.
    EXPECT_FALSE(stats.frameDrawn(t0, t0 + milliseconds(10)));
    EXPECT_FALSE(stats.frameDrawn(t0 + milliseconds(400), t0 + milliseconds(430)));
    const auto line = stats.frameDrawn(t0 + milliseconds(980), t0 + milliseconds(1000));
    ASSERT_TRUE(line);
    EXPECT_EQ(*line, "frame-stats: frames=3 mean_ms=20.00 max_ms=30.00");

    // The next period begins with the next frame, however long after; a lone slow frame of a
    // second or more is a period of its own.
    EXPECT_FALSE(stats.frameDrawn(t0 + milliseconds(9000), t0 + milliseconds(9001)));
    const auto next = stats.frameDrawn(t0 + milliseconds(9500),
                                       t0 + milliseconds(10000) + std::chrono::microseconds(500));
    ASSERT_TRUE(next);
    EXPECT_EQ(*next, "frame-stats: frames=2 mean_ms=250.75 max_ms=500.50");
    EXPECT_EQ(*stats.frameDrawn(t0 + milliseconds(20000), t0 + milliseconds(21500)),
              "frame-stats: frames=1 mean_ms=1500.00 max_ms=1500.00");
}

TEST(FrameStatsTest, OnlyTheValueOneAsksForTheFigures) {
    EXPECT_TRUE(frameStatsWanted("1"));
    for (const char* value : {static_cast<const char*>(nullptr), "", "0", "yes", "10", " 1"}) {
        EXPECT_FALSE(frameStatsWanted(value)) << (value ? value : "(unset)");
    }
}

}  // namespace
}  // namespace pelorin
