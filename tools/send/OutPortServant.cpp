#include "tools/send/OutPortServant.h"

#include <uuid/uuid.h>

namespace pelorin::send {
namespace {

const char* const kIorKey = "dataport.corba_cdr.inport_ior";
const char* const kRefKey = "dataport.corba_cdr.inport_ref";
const char* const kEndianKey = "dataport.serializer.cdr.endian";

std::string newConnectorId() {
    uuid_t id;
    uuid_generate(id);
    char text[37];
    uuid_unparse_lower(id, text);
    return text;
}

}  // namespace

std::string findStringProperty(const SDOPackage::NVList& list, const char* name) {
    for (CORBA::ULong i = 0; i < list.length(); ++i) {
        if (std::string(list[i].name) != name) continue;
        const char* value = nullptr;
        if (list[i].value >>= value) return value;
    }
    return {};
}

void appendStringProperty(SDOPackage::NVList& list, const char* name, const std::string& value) {
    const CORBA::ULong at = list.length();
    list.length(at + 1);
    list[at].name = CORBA::string_dup(name);
    list[at].value <<= value.c_str();
}

OutPortServant::OutPortServant(CORBA::ORB_ptr orb) : orb_(CORBA::ORB::_duplicate(orb)) {}

OpenRTM::InPortCdr_ptr OutPortServant::endpoint() {
    std::lock_guard<std::mutex> lock(mutex_);
    return OpenRTM::InPortCdr::_duplicate(endpoint_);
}

RTC::PortProfile* OutPortServant::get_port_profile() {
    RTC::PortProfile_var profile = new RTC::PortProfile;
    profile->name = CORBA::string_dup("pelorin-send.doubleValue");
    profile->port_ref = RTC::PortService::_duplicate(self_);
    profile->owner = RTC::RTObject::_nil();
    RTC::ConnectorProfileList_var connectors = get_connector_profiles();
    profile->connector_profiles = connectors.in();
    SDOPackage::NVList& properties = profile->properties;
    appendStringProperty(properties, "port.port_type", "DataOutPort");
    appendStringProperty(properties, "dataport.data_type", "IDL:RTC/TimedDoubleSeq:1.0");
    appendStringProperty(properties, "dataport.subscription_type", "flush");
    appendStringProperty(properties, "dataport.dataflow_type", "push");
    appendStringProperty(properties, "dataport.interface_type", "corba_cdr");
    return profile._retn();
}

RTC::ConnectorProfileList* OutPortServant::get_connector_profiles() {
    std::lock_guard<std::mutex> lock(mutex_);
    return new RTC::ConnectorProfileList(connectors_);
}

RTC::ConnectorProfile* OutPortServant::get_connector_profile(const char* connector_id) {
    RTC::ConnectorProfile_var profile = new RTC::ConnectorProfile;
    findStored(connector_id, profile.inout());
    return profile._retn();
}

RTC::ReturnCode_t OutPortServant::connect(RTC::ConnectorProfile& profile) {
    if (findStringProperty(profile.properties, kEndianKey).empty())
        appendStringProperty(profile.properties, kEndianKey, "little,big");
    if (std::string(profile.connector_id).empty())
        profile.connector_id = CORBA::string_dup(newConnectorId().c_str());
    if (profile.ports.length() == 0) return RTC::BAD_PARAMETER;
    RTC::ReturnCode_t result;
    try {
        result = profile.ports[0]->notify_connect(profile);
    } catch (const CORBA::Exception&) {
        return RTC::BAD_PARAMETER;
    }
    if (result != RTC::RTC_OK) disconnect(profile.connector_id);
    return result;
}

RTC::ReturnCode_t OutPortServant::notify_connect(RTC::ConnectorProfile& profile) {
    calledBack_ = true;
    // An out-port publishes nothing; it subscribes once every later port has published.
    const RTC::ReturnCode_t forwarded = connectNext(profile);
    const RTC::ReturnCode_t subscribed = subscribe(profile);
    store(profile);
    return forwarded != RTC::RTC_OK ? forwarded : subscribed;
}

RTC::ReturnCode_t OutPortServant::connectNext(RTC::ConnectorProfile& profile) {
    const int self = indexOfSelf(profile.ports);
    if (self < 0) return RTC::BAD_PARAMETER;
    const CORBA::ULong next = static_cast<CORBA::ULong>(self) + 1;
    if (next >= profile.ports.length()) return RTC::RTC_OK;
    try {
        return profile.ports[next]->notify_connect(profile);
    } catch (const CORBA::Exception&) {
        return RTC::RTC_ERROR;
    }
}

RTC::ReturnCode_t OutPortServant::subscribe(const RTC::ConnectorProfile& profile) {
    CORBA::Object_var object;
    const std::string ior = findStringProperty(profile.properties, kIorKey);
    try {
        if (!ior.empty()) {
            object = orb_->string_to_object(ior.c_str());
        } else {
            for (CORBA::ULong i = 0; i < profile.properties.length(); ++i)
                if (std::string(profile.properties[i].name) == kRefKey)
                    profile.properties[i].value >>= CORBA::Any::to_object(object.out());
        }
    } catch (const CORBA::Exception&) {
        return RTC::BAD_PARAMETER;
    }
    if (CORBA::is_nil(object)) return RTC::BAD_PARAMETER;
    OpenRTM::InPortCdr_var endpoint = OpenRTM::InPortCdr::_unchecked_narrow(object);
    std::lock_guard<std::mutex> lock(mutex_);
    endpoint_ = endpoint._retn();
    return RTC::RTC_OK;
}

RTC::ReturnCode_t OutPortServant::disconnect(const char* connector_id) {
    RTC::ConnectorProfile profile;
    if (!findStored(connector_id, profile)) return RTC::BAD_PARAMETER;
    if (profile.ports.length() == 0) return RTC::PRECONDITION_NOT_MET;
    for (CORBA::ULong i = 0; i < profile.ports.length(); ++i) {
        try {
            return profile.ports[i]->notify_disconnect(connector_id);
        } catch (const CORBA::Exception&) {
        }
    }
    return RTC::RTC_ERROR;
}

RTC::ReturnCode_t OutPortServant::disconnect_all() {
    RTC::ConnectorProfileList_var all = get_connector_profiles();
    RTC::ReturnCode_t result = RTC::RTC_OK;
    for (CORBA::ULong i = 0; i < all->length(); ++i) {
        const RTC::ReturnCode_t one = disconnect(all[i].connector_id);
        if (one != RTC::RTC_OK) result = one;
    }
    return result;
}

RTC::ReturnCode_t OutPortServant::notify_disconnect(const char* connector_id) {
    RTC::ConnectorProfile profile;
    if (!findStored(connector_id, profile)) return RTC::BAD_PARAMETER;
    const RTC::ReturnCode_t result = disconnectNext(profile);
    forget(connector_id);
    return result;
}

RTC::ReturnCode_t OutPortServant::disconnectNext(const RTC::ConnectorProfile& profile) {
    const int self = indexOfSelf(profile.ports);
    if (self < 0) return RTC::RTC_OK;
    for (CORBA::ULong i = static_cast<CORBA::ULong>(self) + 1; i < profile.ports.length(); ++i) {
        try {
            return profile.ports[i]->notify_disconnect(profile.connector_id);
        } catch (const CORBA::Exception&) {
        }
    }
    return static_cast<CORBA::ULong>(self) + 1 < profile.ports.length() ? RTC::RTC_ERROR
                                                                        : RTC::RTC_OK;
}

bool OutPortServant::findStored(const std::string& id, RTC::ConnectorProfile& profile) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (CORBA::ULong i = 0; i < connectors_.length(); ++i) {
        if (id == static_cast<const char*>(connectors_[i].connector_id)) {
            profile = connectors_[i];
            return true;
        }
    }
    return false;
}

void OutPortServant::store(const RTC::ConnectorProfile& profile) {
    std::lock_guard<std::mutex> lock(mutex_);
    const std::string id(profile.connector_id);
    for (CORBA::ULong i = 0; i < connectors_.length(); ++i) {
        if (id == static_cast<const char*>(connectors_[i].connector_id)) {
            connectors_[i] = profile;
            return;
        }
    }
    const CORBA::ULong at = connectors_.length();
    connectors_.length(at + 1);
    connectors_[at] = profile;
}

void OutPortServant::forget(const std::string& id) {
    std::lock_guard<std::mutex> lock(mutex_);
    RTC::ConnectorProfileList kept;
    for (CORBA::ULong i = 0; i < connectors_.length(); ++i) {
        if (id == static_cast<const char*>(connectors_[i].connector_id)) continue;
        const CORBA::ULong at = kept.length();
        kept.length(at + 1);
        kept[at] = connectors_[i];
    }
    connectors_ = kept;
    endpoint_ = OpenRTM::InPortCdr::_nil();
}

int OutPortServant::indexOfSelf(const RTC::PortServiceList& ports) const {
    for (CORBA::ULong i = 0; i < ports.length(); ++i) {
        try {
            if (ports[i]->_is_equivalent(self_)) return static_cast<int>(i);
        } catch (const CORBA::Exception&) {
        }
    }
    return -1;
}

}  // namespace pelorin::send
