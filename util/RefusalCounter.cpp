#include "util/RefusalCounter.h"

namespace pelorin {

RefusalCounter::Line RefusalCounter::refused(Clock::time_point now) {
    if (!reported_) {
        reported_ = true;
        lastLine_ = now;
        return Line::First;
    }
    ++unreported_;
    if (now - lastLine_ < period_) return Line::None;
    lastLine_ = now;
    return Line::Summary;
}

unsigned long RefusalCounter::takeUnreported() {
    const unsigned long count = unreported_;
    unreported_ = 0;
    return count;
}

bool RefusalCounter::quiet(Clock::time_point now) const {
    return unreported_ == 0 && now - lastLine_ >= period_;
}

}  // namespace pelorin
