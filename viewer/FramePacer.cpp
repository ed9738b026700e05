#include "viewer/FramePacer.h"

#include <cmath>
#include <cstdlib>

#include "util/MessageStream.h"
#include "util/NumberText.h"
#include "viewer/ViewerMessages.h"

namespace pelorin {

FramePacer::FramePacer(double maxFramesPerSecond)
    : period_(std::chrono::duration_cast<Clock::duration>(
          std::chrono::duration<double>(1.0 / maxFramesPerSecond))) {}

void FramePacer::frameStarted(Clock::time_point when) {
    lastFrame_ = when;
    requested_ = false;
}

std::optional<FramePacer::Clock::duration> FramePacer::waitBeforeFrame(
    Clock::time_point now) const {
    if (!requested_) return std::nullopt;
    if (!lastFrame_) return Clock::duration::zero();
    const Clock::time_point due = *lastFrame_ + period_;
    // A clock that stepped back (or a frame stamped ahead) never makes us wait longer than one
    // period.
    if (due <= now) return Clock::duration::zero();
    const Clock::duration rest = due - now;
    return rest < period_ ? rest : period_;
}

double maxFramesPerSecondFrom(const char* text, MessageStream& errors) {
    if (text == nullptr || *text == '\0') return FramePacer::kDefaultMaxFramesPerSecond;
    double value = 0.0;
    if (readNumber(text, FramePacer::kLowestMaxFramesPerSecond,
                   FramePacer::kHighestMaxFramesPerSecond, value) == NumberProblem::None) {
        return value;
    }
    errors.msg(viewer_messages::kMaxFpsInvalid).raw(text).msg(viewer_messages::kMaxFpsFallback)
        << static_cast<int>(FramePacer::kDefaultMaxFramesPerSecond);
    errors.msg(viewer_messages::kFramesPerSecond).endl();
    return FramePacer::kDefaultMaxFramesPerSecond;
}

}  // namespace pelorin
