#include "rtcrt/SdoConfiguration.h"

#include "rtcrt/NVUtil.h"

namespace pelorin::rtcrt {
namespace {

const char kDefaultSet[] = "default";
const char kSetPrefix[] = "conf.";
const char kActiveSetKey[] = "configuration.active_config";

// The set name and the parameter of a "conf.<set>[.<parameter>]" key; false for other keys and
// for hidden sets ("_" first).
bool splitConfigurationKey(const std::string& key, std::string& set, std::string& parameter) {
    const std::size_t prefix = sizeof kSetPrefix - 1;
    if (key.compare(0, prefix, kSetPrefix) != 0 || key.size() == prefix) return false;
    const std::size_t dot = key.find('.', prefix);
    set = key.substr(prefix, dot == std::string::npos ? std::string::npos : dot - prefix);
    parameter = dot == std::string::npos ? "" : key.substr(dot + 1);
    return !set.empty() && set[0] != '_';
}

}  // namespace

SdoConfiguration::SdoConfiguration() : sets_{{kDefaultSet, coil::Properties()}} {
    activeId_ = kDefaultSet;
}

SdoConfiguration::~SdoConfiguration() {
    for (auto& held : setListeners_) {
        if (held.owned) delete held.listener;
    }
    for (auto& held : nameListeners_) {
        if (held.owned) delete held.listener;
    }
}

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

void SdoConfiguration::load(const coil::Properties& properties) {
    std::string active;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const std::string& key : properties.propertyNames()) {
            std::string id;
            std::string parameter;
            if (!splitConfigurationKey(key, id, parameter)) continue;
            Set* set = findSet(id);
            if (set == nullptr) set = &sets_.emplace_back(id, coil::Properties());
            if (!parameter.empty()) set->second.setProperty(parameter, properties.getProperty(key));
        }
        const std::string& wanted = properties.getProperty(kActiveSetKey);
        activeId_ = findSet(wanted) != nullptr ? wanted : kDefaultSet;
        active = activeId_;
    }
    notifyActivated(active);
}

void SdoConfiguration::addSetListener(RTC::ConfigurationSetListenerType type,
                                      RTC::ConfigurationSetListener* listener, bool autoclean) {
    std::lock_guard<std::mutex> lock(listenerMutex_);
    setListeners_.push_back({static_cast<int>(type), listener, autoclean});
}

void SdoConfiguration::addNameListener(RTC::ConfigurationSetNameListenerType type,
                                       RTC::ConfigurationSetNameListener* listener,
                                       bool autoclean) {
    std::lock_guard<std::mutex> lock(listenerMutex_);
    nameListeners_.push_back({static_cast<int>(type), listener, autoclean});
}

SdoConfiguration::Set* SdoConfiguration::findSet(const std::string& id) {
    for (Set& set : sets_) {
        if (set.first == id) return &set;
    }
    return nullptr;
}

SDOPackage::ConfigurationSet* SdoConfiguration::toConfigurationSet(const Set& set) const {
    auto* result = new SDOPackage::ConfigurationSet;
    result->id = set.first.c_str();
    result->description = "";
    result->configuration_data = fromProperties(set.second);
    return result;
}

void SdoConfiguration::notifyActivated(const std::string& id) {
    const auto type =
        static_cast<int>(RTC::ConfigurationSetNameListenerType::ON_ACTIVATE_CONFIG_SET);
    for (auto& held : heldListeners(nameListeners_)) {
        if (held.type == type) (*held.listener)(id.c_str());
    }
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
    std::lock_guard<std::mutex> lock(mutex_);
    list->length(static_cast<CORBA::ULong>(sets_.size()));
    for (CORBA::ULong i = 0; i < list->length(); ++i) {
        SDOPackage::ConfigurationSet_var set = toConfigurationSet(sets_[i]);
        (*list)[i] = set.in();
    }
    return list;
}

SDOPackage::ConfigurationSet* SdoConfiguration::get_configuration_set(const char* config_id) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (const Set* set = findSet(config_id == nullptr ? "" : config_id)) {
        return toConfigurationSet(*set);
    }
    throw SDOPackage::NotAvailable("no such configuration set");
}

// The listeners get the values written, named after the set, after the set holds them.
CORBA::Boolean SdoConfiguration::set_configuration_set_values(
    const SDOPackage::ConfigurationSet& configuration_set) {
    const std::string id = configuration_set.id.in();
    if (id.empty()) throw SDOPackage::InvalidParameter("the configuration set has no id");
    coil::Properties values(id.c_str());
    const coil::Properties given = toProperties(configuration_set.configuration_data);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        Set* set = findSet(id);
        if (set == nullptr) return false;
        for (const std::string& key : given.propertyNames()) {
            set->second.setProperty(key, given.getProperty(key));
            values.setProperty(key, given.getProperty(key));
        }
    }
    const auto type = static_cast<int>(RTC::ConfigurationSetListenerType::ON_SET_CONFIG_SET);
    for (auto& held : heldListeners(setListeners_)) {
        if (held.type == type) (*held.listener)(values);
    }
    return true;
}

SDOPackage::ConfigurationSet* SdoConfiguration::get_active_configuration_set() {
    std::lock_guard<std::mutex> lock(mutex_);
    return toConfigurationSet(*findSet(activeId_));
}

CORBA::Boolean SdoConfiguration::activate_configuration_set(const char* config_id) {
    const std::string id = config_id == nullptr ? "" : config_id;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (findSet(id) == nullptr) {
            throw SDOPackage::InvalidParameter(("no configuration set named " + id).c_str());
        }
        activeId_ = id;
    }
    notifyActivated(id);
    return true;
}

}  // namespace pelorin::rtcrt
