// Warnings about the samples one connection has refused, kept to a few lines however fast the
// peer sends: a peer that sends what cannot be decoded usually sends nothing else, at up to
// thousands of samples a second.
//
// The first refusal gives a line with the connector and the reason; later ones are counted and
// reported in at most one line per summary period; refusals not yet reported when the connection
// ends are reported then. The caller writes the lines. Thread-safe.
#pragma once

#include <chrono>
#include <mutex>
#include <string>
#include <string_view>

#include "util/RefusalCounter.h"

namespace pelorin::rtcrt {

class RefusalLog {
  public:
    using Clock = RefusalCounter::Clock;
    static constexpr Clock::duration kSummaryPeriod = std::chrono::seconds(10);

    // Where the refusals happen, as the lines name it ("port P0.in, connector NAME (ID)").
    void setPlace(const std::string& place);

    // A refusal at `now` for `reason`: the line to write, or an empty string.
    std::string refused(const std::string& reason, Clock::time_point now);

    // The line for refusals not yet reported, or an empty string; the count starts again.
    std::string closing();

  private:
    std::string summary(std::string_view period);

    std::mutex mutex_;
    std::string place_;
    RefusalCounter counter_{kSummaryPeriod};
    std::string lastReason_;
};

}  // namespace pelorin::rtcrt
