// The SDO Configuration object of a component: its configuration sets as tools see and change
// them.
//
// The sets come from the component's properties once its onInitialize has run: every
// "conf.<set>.<parameter>" key gives a parameter of a set, "conf.default" always exists, and
// names beginning with "_" (widget hints and the like) are no sets. The active set is
// "configuration.active_config" when that names a set, else "default". Tools write values into
// an existing set (set_configuration_set_values) and choose the active set
// (activate_configuration_set); the component hears of both through its listeners, on the ORB
// thread of the request, with no lock held. Sets are neither added nor removed (false), and
// there are no separate parameters outside the sets (an empty list).
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "coil/Properties.h"
#include "rtm/ConfigurationListener.h"
#include "rtm/RTC.h"

namespace pelorin::rtcrt {

class SdoConfiguration : public virtual POA_SDOPackage::Configuration {
  public:
    SdoConfiguration();
    ~SdoConfiguration() override;

    void bind(PortableServer::POA_ptr poa);
    void unbind();
    SDOPackage::Configuration_ptr getRef() const { return ref_.in(); }

    // Takes the sets from the component's properties (see above) and makes the initial set
    // active, telling the activation listeners. Once, after onInitialize.
    void load(const coil::Properties& properties);
    // The listener is deleted with this object when `autoclean`.
    void addSetListener(RTC::ConfigurationSetListenerType type,
                        RTC::ConfigurationSetListener* listener, bool autoclean);
    void addNameListener(RTC::ConfigurationSetNameListenerType type,
                         RTC::ConfigurationSetNameListener* listener, bool autoclean);

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
    CORBA::Boolean set_configuration_set_values(
        const SDOPackage::ConfigurationSet& configuration_set) override;
    SDOPackage::ConfigurationSet* get_active_configuration_set() override;
    CORBA::Boolean add_configuration_set(const SDOPackage::ConfigurationSet&) override {
        return false;
    }
    CORBA::Boolean remove_configuration_set(const char*) override { return false; }
    CORBA::Boolean activate_configuration_set(const char* config_id) override;

  private:
    template <class Listener>
    struct Held {
        int type;
        Listener* listener;
        bool owned;
    };
    using Set = std::pair<std::string, coil::Properties>;

    Set* findSet(const std::string& id);  // with mutex_ held
    SDOPackage::ConfigurationSet* toConfigurationSet(const Set& set) const;
    void notifyActivated(const std::string& id);
    // A copy of a list, so that no lock is held while listeners run (a listener may take long).
    template <class Listener>
    std::vector<Held<Listener>> heldListeners(const std::vector<Held<Listener>>& list) {
        std::lock_guard<std::mutex> lock(listenerMutex_);
        return list;
    }

    PortableServer::POA_var poa_;
    SDOPackage::Configuration_var ref_;
    std::mutex mutex_;  // guards the sets and the active id
    std::vector<Set> sets_;
    std::string activeId_;
    std::mutex listenerMutex_;  // guards the lists
    std::vector<Held<RTC::ConfigurationSetListener>> setListeners_;
    std::vector<Held<RTC::ConfigurationSetNameListener>> nameListeners_;
};

}  // namespace pelorin::rtcrt
