// The per-connection OpenRTM::InPortCdr object of a push connection over "corba_cdr".
//
// Owned by the POA once activated (reference counted); the port deactivates it when the
// connection ends. `put` runs on ORB threads.
#pragma once

#include <atomic>

#include "rtm/InPortBase.h"

namespace pelorin::rtcrt {

class InPortCdrEndpoint : public virtual POA_OpenRTM::InPortCdr {
  public:
    explicit InPortCdrEndpoint(RTC::InPortBase& port) : port_(&port) {}

    OpenRTM::PortStatus put(const OpenRTM::CdrData& data) override;

    // Fixed when the connection is subscribed; little-endian until then.
    void setLittleEndian(bool little) { littleEndian_.store(little); }
    // After this every put answers PORT_ERROR: the connection is gone.
    void close() { open_.store(false); }

  private:
    RTC::InPortBase* port_;
    std::atomic<bool> littleEndian_{true};
    std::atomic<bool> open_{true};
};

}  // namespace pelorin::rtcrt
