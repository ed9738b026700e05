// The PortService of pelorin-send's data out-port: the part of the connection handshake that a
// framework out-port performs (no endpoint of its own to publish; subscribe to the in-port's
// endpoint after the in-port has published it).
#pragma once

#include <atomic>
#include <mutex>
#include <string>

#include "rtm/idl/DataPort_OpenRTM.hh"
#include "rtm/idl/RTC.hh"

namespace pelorin::send {

class OutPortServant : public POA_RTC::PortService {
  public:
    explicit OutPortServant(CORBA::ORB_ptr orb);

    // Our own reference; set once, right after activation and before any connection.
    void setSelf(RTC::PortService_ptr self) { self_ = RTC::PortService::_duplicate(self); }

    // The in-port endpoint of the connection, nil until notify_connect has subscribed.
    OpenRTM::InPortCdr_ptr endpoint();
    // True once an in-port called notify_connect: the other side reaches this process.
    bool calledBack() const { return calledBack_; }

    RTC::PortProfile* get_port_profile() override;
    RTC::ConnectorProfileList* get_connector_profiles() override;
    RTC::ConnectorProfile* get_connector_profile(const char* connector_id) override;
    RTC::ReturnCode_t connect(RTC::ConnectorProfile& profile) override;
    RTC::ReturnCode_t disconnect(const char* connector_id) override;
    RTC::ReturnCode_t disconnect_all() override;
    RTC::ReturnCode_t notify_connect(RTC::ConnectorProfile& profile) override;
    RTC::ReturnCode_t notify_disconnect(const char* connector_id) override;

  private:
    RTC::ReturnCode_t connectNext(RTC::ConnectorProfile& profile);
    RTC::ReturnCode_t subscribe(const RTC::ConnectorProfile& profile);
    RTC::ReturnCode_t disconnectNext(const RTC::ConnectorProfile& profile);
    bool findStored(const std::string& id, RTC::ConnectorProfile& profile);
    void store(const RTC::ConnectorProfile& profile);
    void forget(const std::string& id);
    int indexOfSelf(const RTC::PortServiceList& ports) const;

    CORBA::ORB_var orb_;
    RTC::PortService_var self_;
    std::mutex mutex_;  // guards the two members below
    RTC::ConnectorProfileList connectors_;
    OpenRTM::InPortCdr_var endpoint_;
    std::atomic<bool> calledBack_{false};
};

// The string value of `name` in a property list, or "" when absent or not a string.
std::string findStringProperty(const SDOPackage::NVList& list, const char* name);
void appendStringProperty(SDOPackage::NVList& list, const char* name, const std::string& value);

}  // namespace pelorin::send
