#include "rtcrt/InPortCdrEndpoint.h"

namespace pelorin::rtcrt {

OpenRTM::PortStatus InPortCdrEndpoint::put(const OpenRTM::CdrData& data) {
    if (!open_.load()) return OpenRTM::PORT_ERROR;
    return port_->receive(data, littleEndian_.load());
}

}  // namespace pelorin::rtcrt
