// Registration of component references in CORBA naming services.
//
// A name such as "host.host_cxt/Pelorin0.rtc" is split at '/' into components and each
// component at its last '.' into id and kind. Missing contexts are created and the object is
// bound with rebind, so a stale entry is replaced. Remote calls; call from any thread but not
// while holding locks that ORB upcalls need.
#pragma once

#include <string>
#include <vector>

#include "coil/Properties.h"
#include "rtm/RTC.h"

namespace pelorin::rtcrt {

// "host", "host:port", or a full corbaloc:/corbaname: URI, as a URI of the NameService.
std::string nameServerUri(const std::string& server);

// Expands the placeholders of a naming format (%n %t %m %v %V %c %i %N %h %M %p %%) from the
// component's properties and the manager's configuration.
std::string formatComponentName(const std::string& format, const coil::Properties& component,
                                const coil::Properties& manager);

class NamingRegistrar {
  public:
    NamingRegistrar(CORBA::ORB_ptr orb, std::vector<std::string> servers);

    // Binds `object` under every name on each server and returns the servers that did not
    // answer or refused.
    std::vector<std::string> bind(const std::vector<std::string>& names, CORBA::Object_ptr object);
    // Keeps the names on `server` bound to `object`: with `rebindAll` every name is bound again;
    // otherwise each name is resolved and bound again only when it is missing or names another
    // object (contexts created as needed). False when the server did not answer.
    bool refresh(const std::vector<std::string>& names, CORBA::Object_ptr object,
                 const std::string& server, bool rebindAll);
    // Removes the bindings; unreachable servers are skipped.
    void unbind(const std::vector<std::string>& names);
    const std::vector<std::string>& servers() const { return servers_; }

  private:
    bool refreshOnce(const std::vector<std::string>& names, CORBA::Object_ptr object,
                     const std::string& server, bool rebindAll);

    CORBA::ORB_var orb_;
    std::vector<std::string> servers_;
};

}  // namespace pelorin::rtcrt
