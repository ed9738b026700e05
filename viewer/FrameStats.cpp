#include "viewer/FrameStats.h"

#include <cstdio>
#include <cstring>

namespace pelorin {
namespace {

double milliseconds(FrameStats::Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

}  // namespace

std::optional<std::string> FrameStats::frameDrawn(Clock::time_point start, Clock::time_point end) {
    if (!periodStart_) periodStart_ = start;
    const Clock::duration took = end - start;
    ++frames_;
    total_ += took;
    if (took > longest_) longest_ = took;
    if (end - *periodStart_ < kPeriod) return std::nullopt;
    char line[128];
    std::snprintf(line, sizeof line, "frame-stats: frames=%llu mean_ms=%.2f max_ms=%.2f",
                  static_cast<unsigned long long>(frames_),
                  milliseconds(total_) / static_cast<double>(frames_), milliseconds(longest_));
    *this = FrameStats();
    return std::string(line);
}

bool frameStatsWanted(const char* value) {
    return value != nullptr && std::strcmp(value, "1") == 0;
}

}  // namespace pelorin
