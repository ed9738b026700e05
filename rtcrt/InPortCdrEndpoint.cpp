#include "rtcrt/InPortCdrEndpoint.h"

#include "rtcrt/Logger.h"
#include "rtcrt/RtcMessages.h"

namespace pelorin::rtcrt {
namespace {

std::string describe(CdrFault fault, CORBA::ULong bytes) {
    const std::string_view reason = fault == CdrFault::Oversized ? messages::kRefusedOversized
                                    : fault == CdrFault::LengthBeyondPayload
                                        ? messages::kRefusedLength
                                        : messages::kRefusedMalformed;
    return std::string(reason) + " (" + std::to_string(bytes) +
           std::string(messages::kRefusedBytes);
}

void writeWarning(const std::string& line) {
    if (!line.empty()) Logger::instance().write(LogLevel::Warn, line);
}

}  // namespace

std::string refusalWarning(const std::string& place, const std::string& reason,
                           const RefusalLog::Report& report, bool closed) {
    switch (report.line) {
        case RefusalLog::Line::First:
            return std::string(messages::kLogPutRefused) + place + ": " + reason +
                   std::string(messages::kLogRefusalsCounted);
        case RefusalLog::Line::Summary:
            return std::string(messages::kLogRefusedMore) + std::to_string(report.count) +
                   std::string(messages::kLogRefusedMoreOn) + place +
                   std::string(closed ? messages::kLogRefusalsBeforeClose
                                      : messages::kLogRefusalsPeriod) +
                   report.latestReason;
        case RefusalLog::Line::None:
            break;
    }
    return "";
}

OpenRTM::PortStatus InPortCdrEndpoint::put(const OpenRTM::CdrData& data) {
    if (!open_.load()) return OpenRTM::PORT_ERROR;
    const CdrFault fault = port_->receive(data, littleEndian_.load());
    if (fault == CdrFault::None) return OpenRTM::PORT_OK;
    const std::string reason = describe(fault, data.length());
    const RefusalLog::Report report = refusals_.refused(place_, reason, RefusalLog::Clock::now());
    writeWarning(refusalWarning(place_, reason, report, false));
    return OpenRTM::PORT_ERROR;
}

void InPortCdrEndpoint::close() {
    open_.store(false);
    writeWarning(refusalWarning(place_, "", refusals_.closing(place_), true));
}

}  // namespace pelorin::rtcrt
