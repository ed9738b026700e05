#include "component/PayloadCheck.h"

#include "component/ComponentMessages.h"

namespace pelorin {

void RefusalLog::refused(MessageStream& out, const std::string& connection,
                         const PayloadCheck& check, std::size_t size, Clock::time_point now) {
    namespace m = component_messages;
    StringSink line;
    MessageStream text(line, out.encoding());
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (auto it = connections_.begin(); it != connections_.end();) {
            it = it->second.quiet(now) ? connections_.erase(it) : std::next(it);
        }
        RefusalCounter& counter = connections_.try_emplace(connection, interval_).first->second;
        const RefusalCounter::Line report = counter.refused(now);
        if (report == RefusalCounter::Line::None) return;
        if (report == RefusalCounter::Line::First) {
            text.msg(m::kRefusedHead).raw(connection).msg(m::kRefusedAnnounced)
                << static_cast<unsigned long>(check.announced);
            text.msg(m::kRefusedNeeds) << static_cast<unsigned long>(check.bytesNeeded);
            text.msg(m::kRefusedHas) << static_cast<unsigned long>(size);
            text.msg(m::kRefusedTail);
        } else {
            text.msg(m::kRefusedMoreHead) << counter.takeUnreported();
            text.msg(m::kRefusedMoreMiddle).raw(connection).msg(m::kRefusedMoreTail);
        }
    }
    text.endl();
    out.raw(line.text()).flush();
}

}  // namespace pelorin
