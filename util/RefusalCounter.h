// When to report refused input on one connection so a peer sending what cannot be used does not
// flood the console or log: the first refusal at once, later ones counted and reported in at most
// one line per period. Owners write their own lines and hold their own lock.
#pragma once

#include <chrono>

namespace pelorin {

class RefusalCounter {
  public:
    using Clock = std::chrono::steady_clock;
    enum class Line { None, First, Summary };

    explicit RefusalCounter(Clock::duration period) : period_(period) {}

    // A refusal at `now`: which line to write, if any. For a summary, takeUnreported() gives the
    // count.
    Line refused(Clock::time_point now);

    // The refusals counted since the last line; the count starts again.
    unsigned long takeUnreported();

    // Nothing waits to be reported and no line was written for a period.
    bool quiet(Clock::time_point now) const;

  private:
    Clock::duration period_;
    bool reported_ = false;  // the first refusal was written
    Clock::time_point lastLine_;
    unsigned long unreported_ = 0;
};

}  // namespace pelorin
