// Finds a component and its in-port over CORBA and drives its execution context.
//
// Failures throw SendError with a one-line message; CORBA system exceptions from the remote side
// are turned into SendError by the caller (main).
#pragma once

#include <stdexcept>
#include <string>

#include "rtm/idl/RTC.hh"

namespace pelorin::send {

class SendError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// "<host>.host_cxt/Pelorin0.rtc" for this machine's node name: where the framework binds the
// first Pelorin instance by default.
std::string defaultComponentName();

// The component bound under `name` ("id.kind/id.kind/...") in the naming service at
// corbaloc:iiop:HOST:PORT/NameService.
RTC::RTObject_ptr findComponentByName(CORBA::ORB_ptr orb, const std::string& host, int port,
                                      const std::string& name);

// The component behind an IOR or corbaloc reference.
RTC::RTObject_ptr findComponentByReference(CORBA::ORB_ptr orb, const std::string& reference);

// The port whose profile name is `portName` or "<instance>.<portName>". Throws SendError, with
// the names of the ports there are, when there is none; and when it is not a data in-port of
// RTC::TimedDoubleSeq, whose values would be misread on the other side.
RTC::PortService_ptr findPort(RTC::RTObject_ptr component, const std::string& portName);

// The addresses a reference carries, "host:port, host:port" in the order a caller tries them
// (each IIOP profile and its alternate addresses); "?" for a reference that has none.
std::string publishedAddresses(CORBA::Object_ptr object);

// The SendError for a component that cannot be reached at the addresses in its reference.
SendError unreachableComponent(CORBA::Object_ptr object);

// The component's own execution context (handle 0).
RTC::ExecutionContext_ptr ownContext(RTC::RTObject_ptr component);

// Activates the component; an already active component is left as it is.
void activateComponent(RTC::RTObject_ptr component);

// "CREATED", "INACTIVE", "ACTIVE" or "ERROR" in the component's own context.
std::string componentState(RTC::RTObject_ptr component);

// The component profile as "key: value" lines: the six named fields, every property whose value
// is a string, in the component's order, then one "port: NAME (N connections)" line a port.
std::string componentProfileText(RTC::RTObject_ptr component);

}  // namespace pelorin::send
