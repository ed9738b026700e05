// Hands one received sequence to the scene: the first n values, n being the size of the value
// table.
//
// A sequence with fewer than n values applies none of them (a partial pose would mix joints of
// two different poses for good) and is reported by one warning line on the console. The warning
// is not repeated for every following short sequence, so a sender stuck on a wrong length does
// not flood the console at the execution rate; it is given again only after a sequence of the
// right length has arrived in between.
//
// Thread: used only by the execution context's thread (the component's onExecute).
#pragma once

#include <cstddef>
#include <vector>

#include "component/ComponentHost.h"

namespace pelorin {

enum class HandOverResult { Applied, TooShort };

class ValueHandOver {
  public:
    // `host` must outlive this object.
    explicit ValueHandOver(ComponentHost& host) : host_(host) {}

    // values[0..length) is the received sequence; values may be null when length is 0.
    HandOverResult deliver(const double* values, std::size_t length);

    // True while the last short sequence has been reported and no good one came since.
    bool warningGiven() const { return warned_; }

  private:
    void warnShort(std::size_t length, int needed);

    ComponentHost& host_;
    std::vector<double> buffer_;  // sized by the value table, not by a fixed room
    bool warned_ = false;
};

}  // namespace pelorin
