#include "rtm/InPortBase.h"

#include <algorithm>
#include <chrono>

#include "rtcrt/InPortCdrEndpoint.h"
#include "rtcrt/Logger.h"
#include "rtcrt/NVUtil.h"
#include "rtcrt/PeerCall.h"
#include "rtcrt/RtcMessages.h"
#include "rtm/RTObject.h"

namespace RTC {
namespace {

namespace rt = pelorin::rtcrt;

constexpr size_t kFanIn = 100;  // connections one in-port accepts
const char kInterfaceType[] = "corba_cdr";
const char kIorKey[] = "dataport.corba_cdr.inport_ior";
const char kRefKey[] = "dataport.corba_cdr.inport_ref";
const char kEndianKey[] = "dataport.serializer.cdr.endian";
const char kInPortNode[] = "dataport.inport";

// Liveness checks made while a tool waits for a profile: one check of a peer port, and all checks
// of one query together. A peer left unchecked when the budget runs out keeps its
// connector until the next query.
constexpr CORBA::ULong kPeerCallMs = 1000;
constexpr std::chrono::milliseconds kLivenessBudget{3000};

// The in-port's view of a connector: its own port settings, then every "dataport." key with the
// prefix removed, then every "dataport.inport." key with that prefix removed.
coil::Properties inPortSettings(const ConnectorProfile& profile) {
    coil::Properties all = rt::toProperties(profile.properties);
    coil::Properties merged;
    const std::string dataport = "dataport.";
    const std::string inport = "dataport.inport.";
    for (const std::string& key : all.propertyNames()) {
        if (key.compare(0, dataport.size(), dataport) == 0) {
            merged.setProperty(key.substr(dataport.size()), all.getProperty(key));
        }
    }
    for (const std::string& key : all.propertyNames()) {
        if (key.compare(0, inport.size(), inport) == 0) {
            merged.setProperty(key.substr(inport.size()), all.getProperty(key));
        }
    }
    return merged;
}

// Byte order of a connection: little-endian unless a serializer setting says otherwise; the
// first token of the endian list decides. False for an unknown or empty token.
bool chooseByteOrder(const coil::Properties& settings, bool& little) {
    bool hasSerializer = false;
    for (const std::string& key : settings.propertyNames()) {
        if (key.compare(0, 10, "serializer") == 0) hasSerializer = true;
    }
    little = true;
    if (!hasSerializer) return true;
    std::string list = settings.getProperty("serializer.cdr.endian");
    std::string first = rt::toLowerTrimmed(list.substr(0, list.find(',')));
    if (first == "little") return true;
    if (first == "big") {
        little = false;
        return true;
    }
    return false;
}

CORBA::ORB_ptr theOrb() {
    int argc = 0;
    return CORBA::ORB_init(argc, nullptr);
}

enum class Liveness { Alive, Dead, Unknown };

// A port that says it no longer exists, or whose process cannot be reached (a killed process
// refuses the connection), is dead. One that takes the call but does not answer within
// `timeoutMs` is only slow or stopped: its connection must survive.
Liveness probe(PortService_ptr port, CORBA::ULong timeoutMs) {
    if (CORBA::is_nil(port)) return Liveness::Dead;
    try {
        // A reference of its own, so that the short timeout leaves the stored one as it was.
        CORBA::ORB_var orb = theOrb();
        CORBA::String_var ior = orb->object_to_string(port);
        CORBA::Object_var own = orb->string_to_object(ior.in());
        omniORB::setClientCallTimeout(own.in(), timeoutMs);
        return rt::callPeer([&] { return own->_non_existent(); }) ? Liveness::Dead
                                                                  : Liveness::Alive;
    } catch (const CORBA::TIMEOUT&) {
        return Liveness::Unknown;
    } catch (const CORBA::TRANSIENT& failure) {
        return failure.minor() == omni::TRANSIENT_CallTimedout ? Liveness::Unknown : Liveness::Dead;
    } catch (const CORBA::Exception&) {
        return Liveness::Dead;
    }
}

ReturnCode_t firstFailure(std::initializer_list<ReturnCode_t> results) {
    for (ReturnCode_t result : results) {
        if (result != RTC_OK) return result;
    }
    return RTC_OK;
}

}  // namespace

struct InPortBase::Connector {
    ConnectorProfile profile;
    Endpoint* endpoint = nullptr;  // owned by the POA while active
    PortableServer::ObjectId_var endpointId;
};

InPortBase::InPortBase(const char* name, const char* data_type)
    : name_(name == nullptr ? "" : name),
      publishedName_(name_),
      dataType_(data_type == nullptr ? "" : data_type) {
    settings_.setProperty("data_type", dataType_);
}

void InPortBase::init(const coil::Properties& settings) {
    settings_ << settings;
}

InPortBase::~InPortBase() = default;

pelorin::rtcrt::CdrFault InPortBase::receive(const OpenRTM::CdrData& data, bool littleEndian) {
    const pelorin::rtcrt::CdrFault fault = storeCdr(data, littleEndian);
    if (fault == pelorin::rtcrt::CdrFault::None && owner_ != nullptr) owner_->inputArrived();
    return fault;
}

void InPortBase::attach(RTObject_impl& owner, PortableServer::POA_ptr poa) {
    owner_ = &owner;
    poa_ = PortableServer::POA::_duplicate(poa);
    PortableServer::ObjectId_var id = poa_->activate_object(this);
    CORBA::Object_var object = poa_->id_to_reference(id);
    ref_ = ::RTC::PortService::_narrow(object);
}

void InPortBase::detach() {
    if (CORBA::is_nil(ref_)) return;
    disconnect_all();
    std::vector<std::unique_ptr<Connector>> remaining;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        remaining.swap(connectors_);
    }
    for (auto& connector : remaining) {
        if (connector->endpoint != nullptr) {
            connector->endpoint->close();
            poa_->deactivate_object(connector->endpointId.in());
        }
    }
    try {
        PortableServer::ObjectId_var id = poa_->servant_to_id(this);
        poa_->deactivate_object(id);
    } catch (const CORBA::Exception&) {
        // Already inactive: nothing left to release.
    }
    ref_ = ::RTC::PortService::_nil();
}

PortService_ptr InPortBase::getPortRef() const {
    return ref_.in();
}

void InPortBase::nameAfterOwner(const std::string& instanceName) {
    publishedName_ = instanceName + "." + name_;
}

std::string InPortBase::profileName() const {
    return publishedName_;
}

PortProfile* InPortBase::profileSnapshot() {
    auto* profile = new PortProfile;
    profile->name = profileName().c_str();
    profile->port_ref = ::RTC::PortService::_duplicate(ref_.in());
    profile->owner = owner_ == nullptr ? ::RTC::RTObject::_nil()
                                       : ::RTC::RTObject::_duplicate(owner_->getObjRef());
    rt::appendString(profile->properties, "port.port_type", "DataInPort");
    rt::appendString(profile->properties, "dataport.data_type", dataType_);
    rt::appendString(profile->properties, "dataport.subscription_type", "Any");
    rt::appendString(profile->properties, "dataport.dataflow_type", "push");
    rt::appendString(profile->properties, "dataport.interface_type", kInterfaceType);
    rt::appendString(profile->properties,
                     std::string("dataport.interface_option.") + kInterfaceType, "");
    rt::appendString(profile->properties, "dataport.marshaling_types", "cdr");
    for (const std::string& key : settings_.propertyNames()) {
        rt::appendString(profile->properties, key, settings_.getProperty(key));
    }
    std::lock_guard<std::mutex> lock(mutex_);
    profile->connector_profiles.length(static_cast<CORBA::ULong>(connectors_.size()));
    for (size_t i = 0; i < connectors_.size(); ++i) {
        profile->connector_profiles[static_cast<CORBA::ULong>(i)] = connectors_[i]->profile;
    }
    return profile;
}

PortProfile* InPortBase::get_port_profile() {
    removeDeadConnectors();
    return profileSnapshot();
}

ConnectorProfileList* InPortBase::get_connector_profiles() {
    removeDeadConnectors();
    auto* list = new ConnectorProfileList;
    std::lock_guard<std::mutex> lock(mutex_);
    list->length(static_cast<CORBA::ULong>(connectors_.size()));
    for (size_t i = 0; i < connectors_.size(); ++i) {
        (*list)[static_cast<CORBA::ULong>(i)] = connectors_[i]->profile;
    }
    return list;
}

ConnectorProfile* InPortBase::get_connector_profile(const char* connector_id) {
    removeDeadConnectors();
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& connector : connectors_) {
        if (std::string(connector->profile.connector_id.in()) == connector_id) {
            return new ConnectorProfile(connector->profile);
        }
    }
    return new ConnectorProfile;
}

ReturnCode_t InPortBase::connect(ConnectorProfile& connector_profile) {
    std::string endian;
    if (!rt::findString(connector_profile.properties, kEndianKey, endian)) {
        rt::appendString(connector_profile.properties, kEndianKey, "little,big");
    }
    std::string id = connector_profile.connector_id.in();
    if (id.empty()) {
        connector_profile.connector_id = rt::generateUuid().c_str();
    } else if (hasConnector(id)) {
        return PRECONDITION_NOT_MET;
    }
    if (connector_profile.ports.length() == 0) return BAD_PARAMETER;
    ReturnCode_t result = BAD_PARAMETER;
    try {
        RTC::PortService_ptr first = connector_profile.ports[0].in();
        result = rt::callPeer([&] { return first->notify_connect(connector_profile); });
    } catch (const CORBA::Exception&) {
        return BAD_PARAMETER;
    }
    if (result != RTC_OK) disconnect(connector_profile.connector_id.in());
    return result;
}

ReturnCode_t InPortBase::notify_connect(ConnectorProfile& connector_profile) {
    // Peers that died without disconnecting must not keep a full port from taking new ones.
    if (connectorCount() >= kFanIn) removeDeadConnectors();
    ReturnCode_t admission = checkAdmission(connector_profile);
    if (admission != RTC_OK) return admission;
    // The framework's in-ports add an empty "dataport.inport" entry to every connector.
    std::string inportNode;
    if (!rt::findString(connector_profile.properties, kInPortNode, inportNode)) {
        rt::appendString(connector_profile.properties, kInPortNode, "");
    }
    auto connector = std::make_unique<Connector>();
    ReturnCode_t published = publishEndpoint(connector_profile, *connector);
    ReturnCode_t forwarded = connectNext(connector_profile);
    ReturnCode_t subscribed = subscribeEndpoint(connector_profile, *connector);
    // Stored even after a failure, as the framework's ports do, so that the peer's clean-up
    // through disconnect reaches every port of the connector.
    connector->profile = connector_profile;
    storeConnector(std::move(connector));
    ReturnCode_t result = firstFailure({published, forwarded, subscribed});
    if (result == RTC_OK) {
        rt::Logger::instance().write(rt::LogLevel::Info, std::string(rt::messages::kLogConnected) +
                                                             profileName() + " " +
                                                             connector_profile.connector_id.in());
    }
    return result;
}

ReturnCode_t InPortBase::checkAdmission(const ConnectorProfile& profile) {
    std::string allowDup;
    rt::findString(profile.properties, "dataport.allow_dup_connection", allowDup);
    std::lock_guard<std::mutex> lock(mutex_);
    if (connectors_.size() >= kFanIn) return PRECONDITION_NOT_MET;
    if (rt::toLowerTrimmed(allowDup) == "yes") return RTC_OK;
    for (CORBA::ULong i = 0; i < profile.ports.length(); ++i) {
        if (profile.ports[i]->_is_equivalent(ref_.in())) continue;
        for (const auto& connector : connectors_) {
            const PortServiceList& known = connector->profile.ports;
            for (CORBA::ULong k = 0; k < known.length(); ++k) {
                if (profile.ports[i]->_is_equivalent(known[k].in())) return PRECONDITION_NOT_MET;
            }
        }
    }
    return RTC_OK;
}

ReturnCode_t InPortBase::publishEndpoint(ConnectorProfile& profile, Connector& connector) {
    coil::Properties settings = inPortSettings(profile);
    if (rt::toLowerTrimmed(settings.getProperty("dataflow_type")) != "push") return BAD_PARAMETER;
    if (settings.getProperty("interface_type") != kInterfaceType) return BAD_PARAMETER;
    auto* endpoint =
        new Endpoint(*this, profileName() + std::string(rt::messages::kLogPortConnector) +
                                profile.name.in() + " (" + profile.connector_id.in() + ")");
    connector.endpointId = poa_->activate_object(endpoint);
    endpoint->_remove_ref();  // the POA holds it from now on
    connector.endpoint = endpoint;
    CORBA::Object_var object = poa_->id_to_reference(connector.endpointId.in());
    CORBA::String_var ior = theOrb()->object_to_string(object);
    rt::appendString(profile.properties, kIorKey, ior.in());
    rt::appendObject(profile.properties, kRefKey, object);
    return RTC_OK;
}

ReturnCode_t InPortBase::subscribeEndpoint(const ConnectorProfile& profile, Connector& connector) {
    bool little = true;
    if (!chooseByteOrder(inPortSettings(profile), little)) return UNSUPPORTED;
    if (connector.endpoint == nullptr) return RTC_ERROR;
    connector.endpoint->setLittleEndian(little);
    return RTC_OK;
}

bool InPortBase::isSelf(PortService_ptr port) const {
    try {
        return port->_is_equivalent(ref_.in());
    } catch (const CORBA::Exception&) {
        return false;  // an unusable reference is simply not this port
    }
}

long InPortBase::findSelf(const PortServiceList& ports) const {
    for (CORBA::ULong i = 0; i < ports.length(); ++i) {
        if (isSelf(ports[i].in())) return static_cast<long>(i);
    }
    return -1;
}

ReturnCode_t InPortBase::connectNext(ConnectorProfile& profile) {
    long self = findSelf(profile.ports);
    if (self < 0) return BAD_PARAMETER;
    CORBA::ULong next = static_cast<CORBA::ULong>(self) + 1;
    if (next >= profile.ports.length()) return RTC_OK;
    try {
        PortService_var peer = ::RTC::PortService::_duplicate(profile.ports[next].in());
        return rt::callPeer([&] { return peer->notify_connect(profile); });
    } catch (const CORBA::Exception&) {
        return BAD_PARAMETER;
    }
}

bool InPortBase::copyConnectorProfile(const char* connector_id, ConnectorProfile& profile) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = std::find_if(connectors_.begin(), connectors_.end(), [&](const auto& c) {
        return std::string(c->profile.connector_id.in()) == connector_id;
    });
    if (it == connectors_.end()) return false;
    profile = (*it)->profile;
    return true;
}

ReturnCode_t InPortBase::disconnect(const char* connector_id) {
    ConnectorProfile profile;
    if (!copyConnectorProfile(connector_id, profile)) return BAD_PARAMETER;
    if (profile.ports.length() == 0) return PRECONDITION_NOT_MET;
    for (CORBA::ULong i = 0; i < profile.ports.length(); ++i) {
        try {
            RTC::PortService_ptr port = profile.ports[i].in();
            return rt::callPeer([&] { return port->notify_disconnect(connector_id); });
        } catch (const CORBA::Exception&) {
            // Try the next port of the connector.
        }
    }
    return RTC_ERROR;
}

ReturnCode_t InPortBase::notify_disconnect(const char* connector_id) {
    ConnectorProfile profile;
    if (!copyConnectorProfile(connector_id, profile)) return BAD_PARAMETER;
    ReturnCode_t result = disconnectNext(profile);
    tearDownLocally(connector_id);
    return result;
}

ReturnCode_t InPortBase::disconnectNext(const ConnectorProfile& profile) {
    long self = findSelf(profile.ports);
    if (self < 0) return BAD_PARAMETER;
    CORBA::ULong next = static_cast<CORBA::ULong>(self) + 1;
    if (next >= profile.ports.length()) return RTC_OK;
    for (CORBA::ULong i = next; i < profile.ports.length(); ++i) {
        try {
            RTC::PortService_ptr port = profile.ports[i].in();
            return rt::callPeer([&] { return port->notify_disconnect(profile.connector_id.in()); });
        } catch (const CORBA::Exception&) {
            // Unreachable: forward to the one after it.
        }
    }
    return RTC_ERROR;
}

ReturnCode_t InPortBase::disconnect_all() {
    std::vector<std::string> ids;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const auto& connector : connectors_)
            ids.push_back(connector->profile.connector_id.in());
    }
    ReturnCode_t result = RTC_OK;
    for (const std::string& id : ids) {
        ReturnCode_t each = disconnect(id.c_str());
        if (each != RTC_OK) result = each;
        // A connector whose peers are all gone is torn down here all the same.
        tearDownLocally(id);
    }
    return result;
}

void InPortBase::tearDownLocally(const std::string& id) {
    std::unique_ptr<Connector> connector = takeConnector(id);
    if (connector != nullptr) {
        rt::Logger::instance().write(
            rt::LogLevel::Info,
            std::string(rt::messages::kLogDisconnected) + profileName() + " " + id);
    }
    if (connector != nullptr && connector->endpoint != nullptr) {
        connector->endpoint->close();
        poa_->deactivate_object(connector->endpointId.in());
    }
}

void InPortBase::removeDeadConnectors() {
    std::vector<std::string> dead = findDeadConnectors();
    for (const std::string& id : dead) {
        disconnect(id.c_str());
        tearDownLocally(id);
    }
}

std::vector<std::string> InPortBase::findDeadConnectors() {
    std::vector<std::pair<std::string, PortServiceList>> snapshot;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const auto& connector : connectors_) {
            snapshot.emplace_back(connector->profile.connector_id.in(), connector->profile.ports);
        }
    }
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + kLivenessBudget;
    std::vector<std::string> dead;
    for (const auto& [id, ports] : snapshot) {
        for (CORBA::ULong i = 0; i < ports.length(); ++i) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) return dead;
            if (isSelf(ports[i].in())) continue;
            const CORBA::ULong timeoutMs =
                std::min(kPeerCallMs, static_cast<CORBA::ULong>(left.count()));
            if (probe(ports[i].in(), timeoutMs) == Liveness::Dead) {
                // The notice of disconnect to this port cannot arrive either: it must not take
                // the ORB-wide timeout. The stored reference goes with its connector.
                if (!CORBA::is_nil(ports[i])) omniORB::setClientCallTimeout(ports[i], kPeerCallMs);
                dead.push_back(id);
                break;
            }
        }
    }
    return dead;
}

void InPortBase::storeConnector(std::unique_ptr<Connector> connector) {
    std::string id = connector->profile.connector_id.in();
    std::unique_ptr<Connector> replaced = takeConnector(id);
    if (replaced != nullptr && replaced->endpoint != nullptr) {
        replaced->endpoint->close();
        poa_->deactivate_object(replaced->endpointId.in());
    }
    std::lock_guard<std::mutex> lock(mutex_);
    connectors_.push_back(std::move(connector));
}

std::unique_ptr<InPortBase::Connector> InPortBase::takeConnector(const std::string& id) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = connectors_.begin(); it != connectors_.end(); ++it) {
        if (id == (*it)->profile.connector_id.in()) {
            std::unique_ptr<Connector> connector = std::move(*it);
            connectors_.erase(it);
            return connector;
        }
    }
    return nullptr;
}

size_t InPortBase::connectorCount() {
    std::lock_guard<std::mutex> lock(mutex_);
    return connectors_.size();
}

bool InPortBase::hasConnector(const std::string& id) {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::any_of(connectors_.begin(), connectors_.end(),
                       [&](const auto& c) { return id == c->profile.connector_id.in(); });
}

}  // namespace RTC
