#include "rtcrt/SdoConfiguration.h"

#include <string>

namespace pelorin::rtcrt {
namespace {

const char kDefaultSet[] = "default";

SDOPackage::ConfigurationSet* defaultSet() {
    auto* set = new SDOPackage::ConfigurationSet;
    set->id = kDefaultSet;
    set->description = "";
    return set;
}

}  // namespace

void SdoConfiguration::bind(PortableServer::POA_ptr poa) {
    poa_ = PortableServer::POA::_duplicate(poa);
    PortableServer::ObjectId_var id = poa_->activate_object(this);
    CORBA::Object_var object = poa_->id_to_reference(id);
    ref_ = ::SDOPackage::Configuration::_narrow(object);
}

void SdoConfiguration::unbind() {
    if (CORBA::is_nil(ref_)) return;
    try {
        PortableServer::ObjectId_var id = poa_->servant_to_id(this);
        poa_->deactivate_object(id);
    } catch (const CORBA::Exception&) {
        // Already inactive.
    }
    ref_ = ::SDOPackage::Configuration::_nil();
}

SDOPackage::ParameterList* SdoConfiguration::get_configuration_parameters() {
    return new SDOPackage::ParameterList;
}

SDOPackage::NVList* SdoConfiguration::get_configuration_parameter_values() {
    return new SDOPackage::NVList;
}

CORBA::Any* SdoConfiguration::get_configuration_parameter_value(const char* name) {
    throw SDOPackage::InvalidParameter(
        (std::string("no configuration parameter named ") + (name ? name : "")).c_str());
}

SDOPackage::ConfigurationSetList* SdoConfiguration::get_configuration_sets() {
    auto* list = new SDOPackage::ConfigurationSetList;
    list->length(1);
    SDOPackage::ConfigurationSet* set = defaultSet();
    (*list)[0] = *set;
    delete set;
    return list;
}

SDOPackage::ConfigurationSet* SdoConfiguration::get_configuration_set(const char* config_id) {
    if (config_id != nullptr && std::string(config_id) == kDefaultSet) return defaultSet();
    throw SDOPackage::NotAvailable("no such configuration set");
}

SDOPackage::ConfigurationSet* SdoConfiguration::get_active_configuration_set() {
    return defaultSet();
}

CORBA::Boolean SdoConfiguration::activate_configuration_set(const char* config_id) {
    return config_id != nullptr && std::string(config_id) == kDefaultSet;
}

}  // namespace pelorin::rtcrt
