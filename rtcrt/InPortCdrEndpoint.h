// The per-connection OpenRTM::InPortCdr object of a push connection over "corba_cdr".
//
// Owned by the POA once activated (reference counted); the port deactivates it when the
// connection ends. `put` runs on ORB threads. Refused samples are logged through a RefusalLog,
// so a peer that sends only what cannot be decoded costs a few log lines, not one per sample.
#pragma once

#include <atomic>
#include <string>

#include "rtm/InPortBase.h"
#include "util/RefusalLog.h"

namespace pelorin::rtcrt {

// The warning line for a refusal report on the connection at `place`, empty when there is
// nothing to say. `reason` is the refusal's (for a first line); `closed`: the summary is the one
// written when the connection ended.
std::string refusalWarning(const std::string& place, const std::string& reason,
                           const RefusalLog::Report& report, bool closed);

class InPortCdrEndpoint : public virtual POA_OpenRTM::InPortCdr {
  public:
    // `place`: how log lines name this connection ("port P0.in, connector NAME (ID)").
    InPortCdrEndpoint(RTC::InPortBase& port, std::string place)
        : port_(&port), place_(std::move(place)) {}

    OpenRTM::PortStatus put(const OpenRTM::CdrData& data) override;

    // Fixed when the connection is subscribed; little-endian until then.
    void setLittleEndian(bool little) { littleEndian_.store(little); }
    // After this every put answers PORT_ERROR: the connection is gone. Logs the refusals not
    // yet reported.
    void close();

  private:
    RTC::InPortBase* port_;
    const std::string place_;
    std::atomic<bool> littleEndian_{true};
    std::atomic<bool> open_{true};
    RefusalLog refusals_;
};

}  // namespace pelorin::rtcrt
