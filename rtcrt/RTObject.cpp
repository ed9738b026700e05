#include "rtm/RTObject.h"

#include <algorithm>
#include <cstdlib>
#include <exception>

#include "rtcrt/Logger.h"
#include "rtcrt/ManagerConfig.h"
#include "rtcrt/NVUtil.h"
#include "rtcrt/PeriodicExecutionContext.h"
#include "rtcrt/RtcMessages.h"
#include "rtcrt/SdoConfiguration.h"
#include "rtm/Manager.h"
#include "util/NumberText.h"

namespace RTC {
namespace {

namespace rt = pelorin::rtcrt;

constexpr UniqueId kOwnHandle = 0;
constexpr UniqueId kParticipatingOffset = 1000;  // handles of contexts joined by attach
constexpr double kMaxTransitionTimeoutSec = 3600.0;
constexpr double kFallbackRateHz = 1000.0;  // when neither profile nor configuration sets one

// Runs one user callback; an escaping exception counts as a failure, as it does for a remote
// callback, and never reaches the ORB or the context's thread.
template <class Callback>
ReturnCode_t guarded(const std::string& who, Callback callback) {
    try {
        return callback();
    } catch (const CORBA::Exception& e) {
        rt::Logger::instance().write(
            rt::LogLevel::Error,
            std::string(rt::messages::kLogCallbackThrew) + who + " (" + e._name() + ")");
    } catch (const std::exception& e) {
        rt::Logger::instance().write(
            rt::LogLevel::Error,
            std::string(rt::messages::kLogCallbackThrew) + who + " (" + e.what() + ")");
    } catch (...) {
        rt::Logger::instance().write(rt::LogLevel::Error,
                                     std::string(rt::messages::kLogCallbackThrew) + who);
    }
    return RTC_ERROR;
}

}  // namespace

RTObject_impl::RTObject_impl(Manager* manager)
    : m_pManager(manager), configuration_(std::make_unique<rt::SdoConfiguration>()) {}

RTObject_impl::~RTObject_impl() = default;

ReturnCode_t RTObject_impl::onInitialize() {
    return RTC_OK;
}
ReturnCode_t RTObject_impl::onFinalize() {
    return RTC_OK;
}
ReturnCode_t RTObject_impl::onStartup(UniqueId) {
    return RTC_OK;
}
ReturnCode_t RTObject_impl::onShutdown(UniqueId) {
    return RTC_OK;
}
ReturnCode_t RTObject_impl::onActivated(UniqueId) {
    return RTC_OK;
}
ReturnCode_t RTObject_impl::onDeactivated(UniqueId) {
    return RTC_OK;
}
ReturnCode_t RTObject_impl::onExecute(UniqueId) {
    return RTC_OK;
}
ReturnCode_t RTObject_impl::onAborting(UniqueId) {
    return RTC_OK;
}
ReturnCode_t RTObject_impl::onError(UniqueId) {
    return RTC_OK;
}
ReturnCode_t RTObject_impl::onReset(UniqueId) {
    return RTC_OK;
}
ReturnCode_t RTObject_impl::onStateUpdate(UniqueId) {
    return RTC_OK;
}
ReturnCode_t RTObject_impl::onRateChanged(UniqueId) {
    return RTC_OK;
}

ReturnCode_t RTObject_impl::on_initialize() {
    return guarded("onInitialize", [this] { return onInitialize(); });
}
ReturnCode_t RTObject_impl::on_finalize() {
    return guarded("onFinalize", [this] { return onFinalize(); });
}
ReturnCode_t RTObject_impl::on_startup(UniqueId id) {
    return guarded("onStartup", [this, id] { return onStartup(id); });
}
ReturnCode_t RTObject_impl::on_shutdown(UniqueId id) {
    return guarded("onShutdown", [this, id] { return onShutdown(id); });
}
ReturnCode_t RTObject_impl::on_activated(UniqueId id) {
    return guarded("onActivated", [this, id] { return onActivated(id); });
}
ReturnCode_t RTObject_impl::on_deactivated(UniqueId id) {
    return guarded("onDeactivated", [this, id] { return onDeactivated(id); });
}
ReturnCode_t RTObject_impl::on_aborting(UniqueId id) {
    return guarded("onAborting", [this, id] { return onAborting(id); });
}
ReturnCode_t RTObject_impl::on_error(UniqueId id) {
    return guarded("onError", [this, id] { return onError(id); });
}
ReturnCode_t RTObject_impl::on_reset(UniqueId id) {
    return guarded("onReset", [this, id] { return onReset(id); });
}
ReturnCode_t RTObject_impl::on_execute(UniqueId id) {
    return guarded("onExecute", [this, id] { return onExecute(id); });
}
ReturnCode_t RTObject_impl::on_state_update(UniqueId id) {
    return guarded("onStateUpdate", [this, id] { return onStateUpdate(id); });
}
ReturnCode_t RTObject_impl::on_rate_changed(UniqueId id) {
    return guarded("onRateChanged", [this, id] { return onRateChanged(id); });
}

bool RTObject_impl::addInPort(const char* name, InPortBase& inport) {
    std::string wanted = name == nullptr ? "" : name;
    for (InPortBase* port : inPorts_) {
        if (wanted == port->getName()) return false;
    }
    // As in the framework: the settings of every in-port, then this port's own, go to the port
    // and show in the component's profile under "port.inport.<name>".
    const std::string node = "port.inport." + wanted;
    const std::string common = "port.inport.dataport";
    coil::Properties settings = rt::subtree(m_properties, common);
    settings << rt::subtree(m_properties, node);
    m_properties.setProperty(node, m_properties.getProperty(node));
    m_properties.setProperty(common, m_properties.getProperty(common));
    for (const std::string& key : settings.propertyNames()) {
        m_properties.setProperty(node + "." + key, settings.getProperty(key));
    }
    inport.init(settings);
    inPorts_.push_back(&inport);
    inport.nameAfterOwner(instanceName_);
    if (!CORBA::is_nil(poa_)) inport.attach(*this, poa_);
    return true;
}

const char* RTObject_impl::getInstanceName() {
    return instanceName_.c_str();
}

void RTObject_impl::setInstanceName(const char* instance_name) {
    instanceName_ = instance_name == nullptr ? "" : instance_name;
    m_properties.setProperty("instance_name", instanceName_);
}

const char* RTObject_impl::getTypeName() {
    return m_properties.getProperty("type_name").c_str();
}

void RTObject_impl::addConfigurationSetListener(ConfigurationSetListenerType type,
                                                ConfigurationSetListener* listener,
                                                bool autoclean) {
    configuration_->addSetListener(type, listener, autoclean);
}

void RTObject_impl::addConfigurationSetNameListener(ConfigurationSetNameListenerType type,
                                                    ConfigurationSetNameListener* listener,
                                                    bool autoclean) {
    configuration_->addNameListener(type, listener, autoclean);
}

const char* RTObject_impl::getCategory() {
    return m_properties.getProperty("category").c_str();
}

coil::Properties& RTObject_impl::getProperties() {
    return m_properties;
}

void RTObject_impl::setProperties(const coil::Properties& prop) {
    m_properties << prop;
    if (!m_properties.getProperty("instance_name").empty()) {
        instanceName_ = m_properties.getProperty("instance_name");
    }
}

RTObject_ptr RTObject_impl::getObjRef() const {
    return ref_.in();
}

bool RTObject_impl::activateObject(PortableServer::POA_ptr poa) {
    try {
        poa_ = PortableServer::POA::_duplicate(poa);
        PortableServer::ObjectId_var id = poa_->activate_object(this);
        CORBA::Object_var object = poa_->id_to_reference(id);
        ref_ = OpenRTM::DataFlowComponent::_narrow(object);
        configuration_->bind(poa_);
        for (InPortBase* port : inPorts_) port->attach(*this, poa_);
        return true;
    } catch (const CORBA::Exception&) {
        return false;
    }
}

rt::ExecutionContextSettings RTObject_impl::contextSettings() {
    rt::ExecutionContextSettings settings;
    const std::string& rateText = m_properties.getProperty("exec_cxt.periodic.rate");
    if (!rt::parsePositiveRate(rateText, settings.rateHz)) {
        if (!rateText.empty()) {
            rt::Logger::instance().write(rt::LogLevel::Warn,
                                         std::string(rt::messages::kBadRate) + rateText);
        }
        settings.rateHz = kFallbackRateHz;
    }
    settings.executeOnlyWhenInputArrives = executeOnlyWhenInputArrives_;
    settings.syncTransition =
        rt::isYes(m_properties.getProperty("exec_cxt.sync_transition", "YES"));
    const std::string& timeoutText = m_properties.getProperty("exec_cxt.transition_timeout");
    double timeout = 0.0;
    const pelorin::NumberProblem problem =
        pelorin::readNumber(timeoutText, 0.0, kMaxTransitionTimeoutSec, timeout);
    if (problem == pelorin::NumberProblem::None && timeout > 0.0) {
        settings.transitionTimeoutSec = timeout;
    } else if (problem != pelorin::NumberProblem::None && !timeoutText.empty()) {
        rt::Logger::instance().write(
            rt::LogLevel::Warn,
            pelorin::describeNumberProblem(problem, "exec_cxt.transition_timeout", timeoutText, 0.0,
                                           kMaxTransitionTimeoutSec));
    }
    return settings;
}

void RTObject_impl::executeOnlyWhenInputArrives() {
    // Called from the constructor or from onInitialize, on the thread that makes the context.
    executeOnlyWhenInputArrives_ = true;
    if (ownContext_ != nullptr) ownContext_->executeOnlyWhenInputArrives();
}

void RTObject_impl::inputArrived() {
    // A port may take a sample while initialize() is still making the context.
    if (auto* context = inputContext_.load(std::memory_order_acquire)) context->inputArrived();
}

ReturnCode_t RTObject_impl::initialize() {
    {
        std::lock_guard<std::mutex> lock(lifecycleMutex_);
        if (!created_ || exited_ || CORBA::is_nil(ref_)) return PRECONDITION_NOT_MET;
    }
    ownContext_ = std::make_unique<rt::PeriodicExecutionContext>(*this, contextSettings());
    ownContext_->bind(poa_, ref_.in());
    inputContext_.store(ownContext_.get(), std::memory_order_release);
    ReturnCode_t result = on_initialize();
    if (result != RTC_OK) return result;
    // As in the framework, the sets hold what the properties say once onInitialize has run.
    configuration_->load(m_properties);
    {
        std::lock_guard<std::mutex> lock(lifecycleMutex_);
        created_ = false;
    }
    ownContext_->start();
    return RTC_OK;
}

ReturnCode_t RTObject_impl::finalize() {
    // Finalisation happens only as part of exit().
    return PRECONDITION_NOT_MET;
}

ReturnCode_t RTObject_impl::exit() {
    {
        std::lock_guard<std::mutex> lock(lifecycleMutex_);
        if (created_ || exited_) return PRECONDITION_NOT_MET;
    }
    ReturnCode_t result = exitInternal();
    if (m_pManager != nullptr) m_pManager->notifyComponentExited(this);
    return result;
}

ReturnCode_t RTObject_impl::exitInternal() {
    bool initialized;
    {
        std::lock_guard<std::mutex> lock(lifecycleMutex_);
        if (exited_) return RTC_OK;
        exited_ = true;
        initialized = !created_;
    }
    bool wasRunning = ownContext_ != nullptr && ownContext_->halt();
    // on_finalize pairs with a successful on_initialize.
    if (initialized) on_finalize();
    if (wasRunning) on_shutdown(kOwnHandle);
    for (InPortBase* port : inPorts_) port->detach();
    deactivateObjects();
    return RTC_OK;
}

bool RTObject_impl::hasExited() {
    std::lock_guard<std::mutex> lock(lifecycleMutex_);
    return exited_;
}

void RTObject_impl::deactivateObjects() {
    if (ownContext_ != nullptr) ownContext_->unbind();
    if (configuration_ != nullptr) configuration_->unbind();
    if (CORBA::is_nil(poa_)) return;
    try {
        PortableServer::ObjectId_var id = poa_->servant_to_id(this);
        poa_->deactivate_object(id);
    } catch (const CORBA::Exception&) {
        // Already inactive.
    }
}

ExecutionContextHandle_t RTObject_impl::ownHandleOf(ExecutionContext_ptr context) {
    if (CORBA::is_nil(context)) return -1;
    try {
        if (ownContext_ != nullptr && context->_is_equivalent(ownContext_->getRef())) {
            return kOwnHandle;
        }
        std::lock_guard<std::mutex> lock(participatingMutex_);
        for (size_t i = 0; i < participating_.size(); ++i) {
            if (!CORBA::is_nil(participating_[i]) &&
                context->_is_equivalent(participating_[i].in())) {
                return kParticipatingOffset + static_cast<ExecutionContextHandle_t>(i);
            }
        }
    } catch (const CORBA::Exception&) {
        // An unusable reference belongs to no context of ours.
    }
    return -1;
}

CORBA::Boolean RTObject_impl::is_alive(ExecutionContext_ptr exec_context) {
    return ownHandleOf(exec_context) >= 0;
}

UniqueId RTObject_impl::attach_context(ExecutionContext_ptr exec_context) {
    if (CORBA::is_nil(exec_context)) return -1;
    std::lock_guard<std::mutex> lock(participatingMutex_);
    for (size_t i = 0; i < participating_.size(); ++i) {
        if (CORBA::is_nil(participating_[i])) {
            participating_[i] = ::RTC::ExecutionContext::_duplicate(exec_context);
            return kParticipatingOffset + static_cast<UniqueId>(i);
        }
    }
    participating_.push_back(::RTC::ExecutionContext::_duplicate(exec_context));
    return kParticipatingOffset + static_cast<UniqueId>(participating_.size() - 1);
}

ReturnCode_t RTObject_impl::detach_context(UniqueId ec_id) {
    std::lock_guard<std::mutex> lock(participatingMutex_);
    long index = static_cast<long>(ec_id) - kParticipatingOffset;
    if (index < 0 || index >= static_cast<long>(participating_.size()) ||
        CORBA::is_nil(participating_[static_cast<size_t>(index)])) {
        return BAD_PARAMETER;
    }
    participating_[static_cast<size_t>(index)] = ::RTC::ExecutionContext::_nil();
    return RTC_OK;
}

ExecutionContext_ptr RTObject_impl::get_context(UniqueId ec_id) {
    if (ec_id == kOwnHandle && ownContext_ != nullptr) {
        return ::RTC::ExecutionContext::_duplicate(ownContext_->getRef());
    }
    std::lock_guard<std::mutex> lock(participatingMutex_);
    long index = static_cast<long>(ec_id) - kParticipatingOffset;
    if (index < 0 || index >= static_cast<long>(participating_.size())) {
        return ::RTC::ExecutionContext::_nil();
    }
    return ::RTC::ExecutionContext::_duplicate(participating_[static_cast<size_t>(index)].in());
}

ExecutionContextList* RTObject_impl::get_owned_contexts() {
    auto* list = new ExecutionContextList;
    if (ownContext_ != nullptr && !CORBA::is_nil(ownContext_->getRef())) {
        list->length(1);
        (*list)[0] = ::RTC::ExecutionContext::_duplicate(ownContext_->getRef());
    }
    return list;
}

ExecutionContextList* RTObject_impl::get_participating_contexts() {
    auto* list = new ExecutionContextList;
    std::lock_guard<std::mutex> lock(participatingMutex_);
    for (const auto& context : participating_) {
        if (CORBA::is_nil(context)) continue;
        CORBA::ULong index = list->length();
        list->length(index + 1);
        (*list)[index] = ::RTC::ExecutionContext::_duplicate(context.in());
    }
    return list;
}

UniqueId RTObject_impl::get_context_handle(ExecutionContext_ptr cxt) {
    return ownHandleOf(cxt);
}

ComponentProfile* RTObject_impl::get_component_profile() {
    auto* profile = new ComponentProfile;
    profile->instance_name = instanceName_.c_str();
    profile->type_name = m_properties.getProperty("type_name").c_str();
    profile->description = m_properties.getProperty("description").c_str();
    profile->version = m_properties.getProperty("version").c_str();
    profile->vendor = m_properties.getProperty("vendor").c_str();
    profile->category = m_properties.getProperty("category").c_str();
    profile->parent = ::RTC::RTObject::_nil();
    profile->properties = rt::fromProperties(m_properties);
    profile->port_profiles.length(static_cast<CORBA::ULong>(inPorts_.size()));
    for (size_t i = 0; i < inPorts_.size(); ++i) {
        // The same answer as the port's own profile query, dead peers dropped: tools count a
        // component's connections from here.
        PortProfile_var port = inPorts_[i]->get_port_profile();
        profile->port_profiles[static_cast<CORBA::ULong>(i)] = port.in();
    }
    return profile;
}

PortServiceList* RTObject_impl::get_ports() {
    auto* list = new PortServiceList;
    list->length(static_cast<CORBA::ULong>(inPorts_.size()));
    for (size_t i = 0; i < inPorts_.size(); ++i) {
        (*list)[static_cast<CORBA::ULong>(i)] =
            ::RTC::PortService::_duplicate(inPorts_[i]->getPortRef());
    }
    return list;
}

SDOPackage::OrganizationList* RTObject_impl::get_owned_organizations() {
    return new SDOPackage::OrganizationList;
}

char* RTObject_impl::get_sdo_id() {
    return CORBA::string_dup(instanceName_.c_str());
}

char* RTObject_impl::get_sdo_type() {
    return CORBA::string_dup(m_properties.getProperty("description").c_str());
}

SDOPackage::DeviceProfile* RTObject_impl::get_device_profile() {
    return new SDOPackage::DeviceProfile;
}

SDOPackage::ServiceProfileList* RTObject_impl::get_service_profiles() {
    return new SDOPackage::ServiceProfileList;
}

SDOPackage::ServiceProfile* RTObject_impl::get_service_profile(const char*) {
    throw SDOPackage::InvalidParameter("no such service profile");
}

SDOPackage::SDOService_ptr RTObject_impl::get_sdo_service(const char*) {
    throw SDOPackage::InvalidParameter("no such service");
}

SDOPackage::Configuration_ptr RTObject_impl::get_configuration() {
    if (configuration_ == nullptr) throw SDOPackage::NotAvailable("component not active");
    return ::SDOPackage::Configuration::_duplicate(configuration_->getRef());
}

SDOPackage::Monitoring_ptr RTObject_impl::get_monitoring() {
    throw SDOPackage::InterfaceNotImplemented("monitoring is not offered");
}

SDOPackage::OrganizationList* RTObject_impl::get_organizations() {
    return new SDOPackage::OrganizationList;
}

SDOPackage::NVList* RTObject_impl::get_status_list() {
    return new SDOPackage::NVList;
}

CORBA::Any* RTObject_impl::get_status(const char*) {
    throw SDOPackage::InvalidParameter("no such status");
}

}  // namespace RTC
