#include "component/PayloadCheck.h"

#include "component/ComponentMessages.h"

namespace pelorin {

void reportRefusedPayload(RefusalLog& log, MessageStream& out, const std::string& connection,
                          const PayloadCheck& check, std::size_t size,
                          RefusalLog::Clock::time_point now) {
    namespace m = component_messages;
    // The first line gives the check's figures and a summary only the count: no reason is kept.
    const RefusalLog::Report report = log.refused(connection, "", now);
    if (report.line == RefusalLog::Line::None) return;
    StringSink line;
    MessageStream text(line, out);
    if (report.line == RefusalLog::Line::First) {
        text.msg(m::kRefusedHead).raw(connection).msg(m::kRefusedAnnounced)
            << static_cast<unsigned long>(check.announced);
        text.msg(m::kRefusedNeeds) << static_cast<unsigned long>(check.bytesNeeded);
        text.msg(m::kRefusedHas) << static_cast<unsigned long>(size);
        text.msg(m::kRefusedTail);
    } else {
        text.msg(m::kRefusedMoreHead) << report.count;
        text.msg(m::kRefusedMoreMiddle).raw(connection).msg(m::kRefusedMoreTail);
    }
    text.endl();
    out.raw(line.text()).flush();
}

}  // namespace pelorin
