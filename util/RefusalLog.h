// Refused input, reported without flooding the console or a log: a peer that sends what cannot
// be used usually sends nothing else, at up to thousands of samples a second.
//
// Per connection, the first refusal is reported at once; later ones are counted and reported in
// at most one summary per period, with the latest reason; what is still unreported when the
// connection ends is reported then. A connection quiet for a period is forgotten, so its next
// refusal is a first one again. The owner words and writes the lines. Thread-safe.
#pragma once

#include <chrono>
#include <map>
#include <mutex>
#include <string>

#include "util/RefusalCounter.h"

namespace pelorin {

class RefusalLog {
  public:
    using Clock = RefusalCounter::Clock;
    using Line = RefusalCounter::Line;
    static constexpr Clock::duration kDefaultPeriod = std::chrono::seconds(10);

    // What to report, if anything.
    struct Report {
        Line line = Line::None;
        unsigned long count = 0;   // a summary's refusals since the last line
        std::string latestReason;  // a summary's latest reason
    };

    explicit RefusalLog(Clock::duration period = kDefaultPeriod) : period_(period) {}

    // A refusal on `connection` at `now` for `reason`.
    Report refused(const std::string& connection, const std::string& reason, Clock::time_point now);
    // `connection` has ended: a summary of what is still unreported, if anything.
    Report closing(const std::string& connection);

  private:
    struct Connection {
        explicit Connection(Clock::duration period) : counter(period) {}
        RefusalCounter counter;
        std::string latestReason;
    };

    Clock::duration period_;
    std::mutex mutex_;
    std::map<std::string, Connection> connections_;
};

}  // namespace pelorin
