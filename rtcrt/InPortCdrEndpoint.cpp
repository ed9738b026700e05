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

OpenRTM::PortStatus InPortCdrEndpoint::put(const OpenRTM::CdrData& data) {
    if (!open_.load()) return OpenRTM::PORT_ERROR;
    const CdrFault fault = port_->receive(data, littleEndian_.load());
    if (fault == CdrFault::None) return OpenRTM::PORT_OK;
    writeWarning(refusals_.refused(describe(fault, data.length()), RefusalLog::Clock::now()));
    return OpenRTM::PORT_ERROR;
}

void InPortCdrEndpoint::close() {
    open_.store(false);
    writeWarning(refusals_.closing());
}

}  // namespace pelorin::rtcrt
