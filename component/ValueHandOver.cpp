#include "component/ValueHandOver.h"

#include <algorithm>

#include "component/ComponentMessages.h"
#include "util/MessageStream.h"

namespace pelorin {

HandOverResult ValueHandOver::deliver(const double* values, std::size_t length) {
    const int needed = std::max(host_.valueCount(), 0);
    if (length < static_cast<std::size_t>(needed)) {
        if (!warned_) warnShort(length, needed);
        warned_ = true;
        return HandOverResult::TooShort;
    }
    warned_ = false;
    buffer_.assign(values, values + needed);
    host_.setValues(buffer_.data(), needed);
    return HandOverResult::Applied;
}

void ValueHandOver::warnShort(std::size_t length, int needed) {
    namespace m = component_messages;
    Console::out().msg(m::kShortSequenceHead) << static_cast<unsigned long>(length);
    Console::out().msg(m::kShortSequenceMiddle) << needed;
    Console::out().msg(m::kShortSequenceTail).endl();
}

}  // namespace pelorin
