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
            const bool quiet = it->second.unreported == 0 && now - it->second.lastLine >= interval_;
            it = quiet ? connections_.erase(it) : std::next(it);
        }
        auto found = connections_.find(connection);
        if (found == connections_.end()) {
            connections_[connection].lastLine = now;
            text.msg(m::kRefusedHead).raw(connection).msg(m::kRefusedAnnounced)
                << static_cast<unsigned long>(check.announced);
            text.msg(m::kRefusedNeeds) << static_cast<unsigned long>(check.bytesNeeded);
            text.msg(m::kRefusedHas) << static_cast<unsigned long>(size);
            text.msg(m::kRefusedTail);
        } else {
            Entry& entry = found->second;
            ++entry.unreported;
            if (now - entry.lastLine < interval_) return;
            text.msg(m::kRefusedMoreHead) << entry.unreported;
            text.msg(m::kRefusedMoreMiddle).raw(connection).msg(m::kRefusedMoreTail);
            entry.unreported = 0;
            entry.lastLine = now;
        }
    }
    text.endl();
    out.raw(line.text()).flush();
}

}  // namespace pelorin
