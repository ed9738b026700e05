// The per-connection OpenRTM::InPortCdr object of a push connection over "corba_cdr".
//
// Owned by the POA once activated (reference counted); the port deactivates it when the
// connection ends. `put` runs on ORB threads. Refused samples are logged through a RefusalLog,
// so a peer that sends only what cannot be decoded costs a few log lines, not one per sample.
#pragma once

#include <atomic>
#include <string>

#include "rtcrt/RefusalLog.h"
#include "rtm/InPortBase.h"

namespace pelorin::rtcrt {

class InPortCdrEndpoint : public virtual POA_OpenRTM::InPortCdr {
  public:
    explicit InPortCdrEndpoint(RTC::InPortBase& port) : port_(&port) {}

    OpenRTM::PortStatus put(const OpenRTM::CdrData& data) override;

    // Fixed when the connection is subscribed; little-endian until then.
    void setLittleEndian(bool little) { littleEndian_.store(little); }
    // How log lines name this connection ("port P0.in, connector NAME (ID)").
    void setPlace(const std::string& place) { refusals_.setPlace(place); }
    // After this every put answers PORT_ERROR: the connection is gone. Logs the refusals not
    // yet reported.
    void close();

  private:
    RTC::InPortBase* port_;
    std::atomic<bool> littleEndian_{true};
    std::atomic<bool> open_{true};
    RefusalLog refusals_;
};

}  // namespace pelorin::rtcrt
