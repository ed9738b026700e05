// Frame timing for people tuning a big model. With PELORIN_FRAME_STATS=1 in the environment the
// viewer prints to standard error, about once a second while it draws frames, one line
//     frame-stats: frames=N mean_ms=X max_ms=Y
// where each frame's time runs from the start of its drawing until GL has finished it (glFinish,
// before the buffer swap). Nothing is printed while no frames are drawn.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace pelorin {

class FrameStats {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr Clock::duration kPeriod = std::chrono::seconds(1);

    // Counts a frame whose drawing began at `start` and was finished at `end`. Returns the line
    // to print (without its line end) when this frame ends a period: a period begins with its
    // first frame and ends with the first frame finished kPeriod or more after that began.
    std::optional<std::string> frameDrawn(Clock::time_point start, Clock::time_point end);

  private:
    std::optional<Clock::time_point> periodStart_;
    std::uint64_t frames_ = 0;
    Clock::duration total_{};
    Clock::duration longest_{};
};

// Whether the value of PELORIN_FRAME_STATS asks for the figures: exactly "1".
bool frameStatsWanted(const char* value);

}  // namespace pelorin
