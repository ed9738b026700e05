// The SDO Configuration object of a component. The component has no configuration
// parameters: it reports one empty set, "default", as active, and refuses every change by
// answering false. Tools that list configuration sets therefore see a normal component.
#pragma once

#include "rtm/RTC.h"

namespace pelorin::rtcrt {

class SdoConfiguration : public virtual POA_SDOPackage::Configuration {
  public:
    void bind(PortableServer::POA_ptr poa);
    void unbind();
    SDOPackage::Configuration_ptr getRef() const { return ref_.in(); }

    CORBA::Boolean set_device_profile(const SDOPackage::DeviceProfile&) override { return false; }
    CORBA::Boolean add_service_profile(const SDOPackage::ServiceProfile&) override { return false; }
    CORBA::Boolean add_organization(SDOPackage::Organization_ptr) override { return false; }
    CORBA::Boolean remove_service_profile(const char*) override { return false; }
    CORBA::Boolean remove_organization(const char*) override { return false; }
    SDOPackage::ParameterList* get_configuration_parameters() override;
    SDOPackage::NVList* get_configuration_parameter_values() override;
    CORBA::Any* get_configuration_parameter_value(const char* name) override;
    CORBA::Boolean set_configuration_parameter(const char*, const CORBA::Any&) override {
        return false;
    }
    SDOPackage::ConfigurationSetList* get_configuration_sets() override;
    SDOPackage::ConfigurationSet* get_configuration_set(const char* config_id) override;
    CORBA::Boolean set_configuration_set_values(const SDOPackage::ConfigurationSet&) override {
        return false;
    }
    SDOPackage::ConfigurationSet* get_active_configuration_set() override;
    CORBA::Boolean add_configuration_set(const SDOPackage::ConfigurationSet&) override {
        return false;
    }
    CORBA::Boolean remove_configuration_set(const char*) override { return false; }
    CORBA::Boolean activate_configuration_set(const char* config_id) override;

  private:
    PortableServer::POA_var poa_;
    SDOPackage::Configuration_var ref_;
};

}  // namespace pelorin::rtcrt
