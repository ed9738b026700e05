// Data in-port: the RTC::PortService servant that peers connect to, holding one connector per
// connection. Each push connection over "corba_cdr" gets its own OpenRTM::InPortCdr object,
// whose `put` calls arrive on ORB threads and are handed to `storeCdr` of the typed port.
//
// Thread-safety: the PortService operations and `put` run on ORB threads; the component's
// execution context reads through the typed port. The connector list has its own lock, never
// held across a remote call, so a peer may call back into this port while a connection is being
// set up.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "coil/Properties.h"
#include "rtcrt/CdrDecoder.h"
#include "rtm/RTC.h"

namespace pelorin::rtcrt {
class InPortCdrEndpoint;
}

namespace RTC {

class RTObject_impl;

class InPortBase : public virtual POA_RTC::PortService {
  public:
    // `name` is the port's own name ("doubleValue"); `data_type` the repository ID of its type.
    InPortBase(const char* name, const char* data_type);
    ~InPortBase() override;
    InPortBase(const InPortBase&) = delete;
    InPortBase& operator=(const InPortBase&) = delete;

    const char* getName() const { return name_.c_str(); }
    const std::string& dataType() const { return dataType_; }

    // True when data arrived since the newest entry was last read.
    virtual bool isNew() = 0;
    // True when nothing was ever received.
    virtual bool isEmpty() = 0;
    // Copies the newest entry into the bound variable; false when nothing was ever received.
    virtual bool read(std::string name = "") = 0;

    // RTC::PortService. The three profile queries first drop every connector with a dead peer
    // port (one that no longer exists or whose process cannot be reached).
    RTC::PortProfile* get_port_profile() override;
    RTC::ConnectorProfileList* get_connector_profiles() override;
    RTC::ConnectorProfile* get_connector_profile(const char* connector_id) override;
    RTC::ReturnCode_t connect(RTC::ConnectorProfile& connector_profile) override;
    RTC::ReturnCode_t disconnect(const char* connector_id) override;
    RTC::ReturnCode_t disconnect_all() override;
    RTC::ReturnCode_t notify_connect(RTC::ConnectorProfile& connector_profile) override;
    RTC::ReturnCode_t notify_disconnect(const char* connector_id) override;

    // The port's own settings (the component's "port.inport.<name>" node over its
    // "port.inport.dataport" node), merged over "data_type"; the port's profile publishes them,
    // as the framework's in-ports do. Called by the owning component before the port is
    // attached.
    void init(const coil::Properties& settings);

    // Used by the owning component when the port is added: fixes the published name as
    // "<instance name>.<port name>" with the instance name of that moment, as the framework
    // does. A port added before its owner was named (in a component's constructor) is published
    // as ".<port name>", which no connection request finds.
    void nameAfterOwner(const std::string& instanceName);
    // Used by the owning component: activates the port in `poa` and ties it to its owner.
    void attach(RTObject_impl& owner, PortableServer::POA_ptr poa);
    // Disconnects every connection and deactivates the port and its endpoints.
    void detach();
    RTC::PortService_ptr getPortRef() const;  // borrowed; nil before attach
    // The profile without the dead-peer check of get_port_profile.
    RTC::PortProfile* profileSnapshot();

    // Called by an endpoint for each received payload (ORB thread): decodes it into the buffer
    // and tells the owner that input arrived. CdrFault::None when stored; otherwise why not
    // (nothing stored).
    pelorin::rtcrt::CdrFault receive(const OpenRTM::CdrData& data, bool littleEndian);

  protected:
    virtual pelorin::rtcrt::CdrFault storeCdr(const OpenRTM::CdrData& data, bool littleEndian) = 0;

  private:
    struct Connector;
    using Endpoint = pelorin::rtcrt::InPortCdrEndpoint;

    RTC::ReturnCode_t publishEndpoint(RTC::ConnectorProfile& profile, Connector& connector);
    RTC::ReturnCode_t subscribeEndpoint(const RTC::ConnectorProfile& profile, Connector& connector);
    RTC::ReturnCode_t connectNext(RTC::ConnectorProfile& profile);
    // Copies the stored profile of `connector_id`; false when there is no such connector.
    bool copyConnectorProfile(const char* connector_id, RTC::ConnectorProfile& profile);
    RTC::ReturnCode_t disconnectNext(const RTC::ConnectorProfile& profile);
    RTC::ReturnCode_t checkAdmission(const RTC::ConnectorProfile& profile);
    void storeConnector(std::unique_ptr<Connector> connector);
    std::unique_ptr<Connector> takeConnector(const std::string& id);
    bool hasConnector(const std::string& id);
    size_t connectorCount();
    // Disconnects every connector with a dead peer port. Bounded: each check waits at most a
    // second and the checks of one query a few seconds, so a tool's call is not held up by a
    // peer that stopped answering; such a peer counts as alive.
    void removeDeadConnectors();
    std::vector<std::string> findDeadConnectors();
    void tearDownLocally(const std::string& id);
    bool isSelf(RTC::PortService_ptr port) const;
    long findSelf(const RTC::PortServiceList& ports) const;
    std::string profileName() const;

    std::string name_;
    std::string publishedName_;  // name_ until the port is added to a component
    std::string dataType_;
    coil::Properties settings_;
    RTObject_impl* owner_ = nullptr;
    PortableServer::POA_var poa_;
    RTC::PortService_var ref_;
    std::mutex mutex_;  // guards connectors_
    std::vector<std::unique_ptr<Connector>> connectors_;
};

}  // namespace RTC
