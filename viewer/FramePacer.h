// When the viewer may draw its next frame: at most `maxFramesPerSecond` frames a second, and
// only when something asked for one. Pure bookkeeping over time points handed in by the caller,
// so it can be checked without a clock. Used by the viewer thread alone.
#pragma once

#include <chrono>
#include <optional>

namespace pelorin {

class MessageStream;

class FramePacer {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr double kDefaultMaxFramesPerSecond = 60.0;
    static constexpr double kLowestMaxFramesPerSecond = 1.0;
    static constexpr double kHighestMaxFramesPerSecond = 1000.0;

    explicit FramePacer(double maxFramesPerSecond = kDefaultMaxFramesPerSecond);

    // Something visible changed (scene, camera, window); the next due frame should show it.
    void requestFrame() { requested_ = true; }
    bool frameRequested() const { return requested_; }
    // A frame began at `when`; clears the request. Periods count from frame starts, so the
    // drawing time does not lower the rate below the cap.
    void frameStarted(Clock::time_point when);

    // How long to wait before drawing: nothing when no frame is requested (sleep until an
    // event), zero when the requested frame is due now, else the rest of the frame period.
    std::optional<Clock::duration> waitBeforeFrame(Clock::time_point now) const;
    Clock::duration period() const { return period_; }

  private:
    Clock::duration period_;
    std::optional<Clock::time_point> lastFrame_;
    bool requested_ = true;  // the first frame is always wanted
};

// The frame-rate cap from the text of PELORIN_MAX_FPS: nullptr or an empty text gives the
// default; a number from 1 to 1000 is taken; anything else gives the default after a message
// on `errors` that names the variable and the value.
double maxFramesPerSecondFrom(const char* text, MessageStream& errors);

}  // namespace pelorin
