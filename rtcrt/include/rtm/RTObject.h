// RTObject_impl: the servant of a data-flow component (most-derived type
// OpenRTM::DataFlowComponent) and the base class of user components.
//
// The user overrides the on* callbacks; the framework calls them through the CORBA
// ComponentAction operations, which turn an exception escaping a callback into RTC_ERROR.
// Lifecycle: the manager creates the object, names it, calls initialize() (own execution
// context, onInitialize, context started), and registers it. exit() (from a tool, or the
// manager at shutdown) deactivates, finalises, stops the context and deactivates every
// servant; the object itself is deleted by the manager once the ORB has stopped.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "coil/Properties.h"
#include "rtm/ConfigurationListener.h"
#include "rtm/InPortBase.h"
#include "rtm/RTC.h"

namespace pelorin::rtcrt {
class PeriodicExecutionContext;
class SdoConfiguration;
struct ExecutionContextSettings;
}  // namespace pelorin::rtcrt

namespace RTC {

class Manager;

class RTObject_impl : public virtual POA_OpenRTM::DataFlowComponent {
  public:
    explicit RTObject_impl(Manager* manager);
    ~RTObject_impl() override;
    RTObject_impl(const RTObject_impl&) = delete;
    RTObject_impl& operator=(const RTObject_impl&) = delete;

    // User callbacks; each returns RTC_OK unless overridden.
    virtual ReturnCode_t onInitialize();
    virtual ReturnCode_t onFinalize();
    virtual ReturnCode_t onStartup(RTC::UniqueId ec_id);
    virtual ReturnCode_t onShutdown(RTC::UniqueId ec_id);
    virtual ReturnCode_t onActivated(RTC::UniqueId ec_id);
    virtual ReturnCode_t onDeactivated(RTC::UniqueId ec_id);
    virtual ReturnCode_t onExecute(RTC::UniqueId ec_id);
    virtual ReturnCode_t onAborting(RTC::UniqueId ec_id);
    virtual ReturnCode_t onError(RTC::UniqueId ec_id);
    virtual ReturnCode_t onReset(RTC::UniqueId ec_id);
    virtual ReturnCode_t onStateUpdate(RTC::UniqueId ec_id);
    virtual ReturnCode_t onRateChanged(RTC::UniqueId ec_id);

    // Registers a data in-port; the port must live as long as the component. Ports are
    // published in the order they are added. False when a port of that name already exists.
    bool addInPort(const char* name, InPortBase& inport);

    // Bundled runtime only: declares that onExecute does nothing unless an in-port has received
    // data since the last cycle. The own execution context then sleeps while no data comes
    // instead of waking every period, and runs a cycle as soon as data arrives (still at most
    // one a period); onStateUpdate is skipped with the cycles. Other states are unaffected.
    void executeOnlyWhenInputArrives();

    // Listeners of the configuration sets (rtm/ConfigurationListener.h); deleted with the
    // component when `autoclean`. Add them in onInitialize, before tools can reach the sets.
    void addConfigurationSetListener(ConfigurationSetListenerType type,
                                     ConfigurationSetListener* listener, bool autoclean = true);
    void addConfigurationSetNameListener(ConfigurationSetNameListenerType type,
                                         ConfigurationSetNameListener* listener,
                                         bool autoclean = true);

    const char* getInstanceName();
    void setInstanceName(const char* instance_name);
    const char* getTypeName();
    const char* getCategory();
    coil::Properties& getProperties();
    void setProperties(const coil::Properties& prop);
    RTObject_ptr getObjRef() const;  // borrowed; nil until the manager activates the object

    // RTC::ComponentAction
    ReturnCode_t on_initialize() override;
    ReturnCode_t on_finalize() override;
    ReturnCode_t on_startup(UniqueId ec_id) override;
    ReturnCode_t on_shutdown(UniqueId ec_id) override;
    ReturnCode_t on_activated(UniqueId ec_id) override;
    ReturnCode_t on_deactivated(UniqueId ec_id) override;
    ReturnCode_t on_aborting(UniqueId ec_id) override;
    ReturnCode_t on_error(UniqueId ec_id) override;
    ReturnCode_t on_reset(UniqueId ec_id) override;
    // RTC::DataFlowComponentAction
    ReturnCode_t on_execute(UniqueId ec_id) override;
    ReturnCode_t on_state_update(UniqueId ec_id) override;
    ReturnCode_t on_rate_changed(UniqueId ec_id) override;

    // RTC::LightweightRTObject
    ReturnCode_t initialize() override;
    ReturnCode_t finalize() override;
    CORBA::Boolean is_alive(ExecutionContext_ptr exec_context) override;
    ReturnCode_t exit() override;
    UniqueId attach_context(ExecutionContext_ptr exec_context) override;
    ReturnCode_t detach_context(UniqueId ec_id) override;
    ExecutionContext_ptr get_context(UniqueId ec_id) override;
    ExecutionContextList* get_owned_contexts() override;
    ExecutionContextList* get_participating_contexts() override;
    UniqueId get_context_handle(ExecutionContext_ptr cxt) override;

    // RTC::RTObject. The port profiles are those of get_port_profile, dead peers dropped.
    ComponentProfile* get_component_profile() override;
    PortServiceList* get_ports() override;

    // SDOPackage::SDO
    SDOPackage::OrganizationList* get_owned_organizations() override;
    char* get_sdo_id() override;
    char* get_sdo_type() override;
    SDOPackage::DeviceProfile* get_device_profile() override;
    SDOPackage::ServiceProfileList* get_service_profiles() override;
    SDOPackage::ServiceProfile* get_service_profile(const char* id) override;
    SDOPackage::SDOService_ptr get_sdo_service(const char* id) override;
    SDOPackage::Configuration_ptr get_configuration() override;
    SDOPackage::Monitoring_ptr get_monitoring() override;
    SDOPackage::OrganizationList* get_organizations() override;
    SDOPackage::NVList* get_status_list() override;
    CORBA::Any* get_status(const char* nme) override;

    // For the manager: activates the servant in its POA. Returns false on failure.
    bool activateObject(PortableServer::POA_ptr poa);
    // Runs the exit sequence once; later calls do nothing. Used by exit() and at shutdown.
    ReturnCode_t exitInternal();
    bool hasExited();

  protected:
    Manager* m_pManager;
    coil::Properties m_properties;

  private:
    friend class InPortBase;
    // A port has stored a received sample (ORB thread).
    void inputArrived();
    ExecutionContextHandle_t ownHandleOf(ExecutionContext_ptr context);
    pelorin::rtcrt::ExecutionContextSettings contextSettings();
    void deactivateObjects();

    PortableServer::POA_var poa_;
    OpenRTM::DataFlowComponent_var ref_;
    std::string instanceName_;
    std::vector<InPortBase*> inPorts_;
    std::unique_ptr<pelorin::rtcrt::PeriodicExecutionContext> ownContext_;
    std::unique_ptr<pelorin::rtcrt::SdoConfiguration> configuration_;
    std::mutex participatingMutex_;
    std::vector<ExecutionContext_var> participating_;
    std::mutex lifecycleMutex_;
    bool created_ = true;  // until initialize() succeeds
    bool exited_ = false;
    bool executeOnlyWhenInputArrives_ = false;  // set before initialize(), read by it
    // The own context once made; it lives as long as the object (ports read it on ORB threads).
    std::atomic<pelorin::rtcrt::PeriodicExecutionContext*> inputContext_{nullptr};
};

}  // namespace RTC
