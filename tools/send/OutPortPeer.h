// The sending side of one "corba_cdr" push connection to a component's in-port, written from the
// framework's published handshake: our own PortService (a data out-port) takes part in
// notify_connect, subscribes to the in-port's InPortCdr endpoint, and puts CDR payloads on it.
//
// Threads: connect/put/disconnect are called from one thread; the ORB calls the servant
// (notify_connect, get_connector_profiles...) from its own threads while connect runs.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "rtm/idl/DataPort_OpenRTM.hh"
#include "rtm/idl/RTC.hh"
#include "tools/send/CdrEncoding.h"
#include "tools/send/SendOptions.h"

namespace pelorin::send {

class OutPortServant;

class OutPortPeer {
  public:
    // `poa` must have an active manager so the in-port can call back during connect.
    OutPortPeer(CORBA::ORB_ptr orb, PortableServer::POA_ptr poa, ByteOrder order);
    ~OutPortPeer();
    OutPortPeer(const OutPortPeer&) = delete;
    OutPortPeer& operator=(const OutPortPeer&) = delete;

    // Connects to `inPort` (out-port first in the port list, as a framework out-port does when a
    // tool connects it), with the connector properties of connectorProperties(order, extra).
    // Throws SendError when the in-port refuses, cannot call this process back, or publishes no
    // endpoint.
    void connect(RTC::PortService_ptr inPort, const PropertyList& extra = {});

    // Puts one sequence, time-stamped now. Returns the in-port's answer; throws SendError when
    // the call itself fails (the connection is lost).
    OpenRTM::PortStatus put(const std::vector<double>& values);

    // Ends the connection through the in-port; harmless when not connected.
    void disconnect();

    bool connected() const { return !connectorId_.empty(); }

  private:
    ByteOrder order_;
    PortableServer::POA_var poa_;
    // Reference-counted: the POA keeps it alive while calls from the in-port are still running
    // after deactivation.
    OutPortServant* servant_;
    PortableServer::ObjectId_var servantId_;
    RTC::PortService_var self_;
    RTC::PortService_var inPort_;
    std::string connectorId_;
};

// "PORT_OK", "BUFFER_FULL", ...
const char* portStatusName(OpenRTM::PortStatus status);

}  // namespace pelorin::send
