#include "tools/send/ComponentClient.h"

#include <sys/utsname.h>

#include <sstream>
#include <vector>

#include <omniORB4/IIOP.h>
#include <omniORB4/omniIOR.h>
#include <omniORB4/Naming.hh>

#include "tools/send/OutPortServant.h"
#include "tools/send/SendMessages.h"

namespace pelorin::send {
namespace {

namespace m = messages;

const char* const kStateNames[] = {"CREATED", "INACTIVE", "ACTIVE", "ERROR"};

const char* returnCodeName(RTC::ReturnCode_t code) {
    static const char* const names[] = {"RTC_OK",      "RTC_ERROR",        "BAD_PARAMETER",
                                        "UNSUPPORTED", "OUT_OF_RESOURCES", "PRECONDITION_NOT_MET"};
    const unsigned index = static_cast<unsigned>(code);
    return index < sizeof names / sizeof names[0] ? names[index] : "unknown";
}

RTC::RTObject_ptr narrowComponent(CORBA::Object_ptr object, const std::string& what) {
    if (CORBA::is_nil(object)) throw SendError(std::string(m::kBadReference) + what);
    RTC::RTObject_var component;
    try {
        // A type this program does not know is asked of the object itself.
        component = RTC::RTObject::_narrow(object);
    } catch (const CORBA::TRANSIENT&) {
        throw unreachableComponent(object);
    }
    if (CORBA::is_nil(component)) throw SendError(std::string(m::kNotAComponent) + what);
    return component._retn();
}

std::string address(const IIOP::Address& at) {
    return std::string(at.host) + ":" + std::to_string(at.port);
}

void appendProfileAddresses(const IOP::TaggedProfile& profile, std::vector<std::string>& list) {
    IIOP::ProfileBody body;
    IIOP::unmarshalProfile(profile, body);
    list.push_back(address(body.address));
    for (CORBA::ULong i = 0; i < body.components.length(); ++i) {
        const IOP::TaggedComponent& component = body.components[i];
        if (component.tag != IOP::TAG_ALTERNATE_IIOP_ADDRESS) continue;
        cdrEncapsulationStream stream(component.component_data.get_buffer(),
                                      component.component_data.length(), 1);
        IIOP::Address alternate;
        alternate <<= stream;
        list.push_back(address(alternate));
    }
}

std::string joinedPortNames(RTC::PortServiceList& ports) {
    std::string names;
    for (CORBA::ULong i = 0; i < ports.length(); ++i) {
        RTC::PortProfile_var profile = ports[i]->get_port_profile();
        names += (i > 0 ? ", " : "") + std::string(profile->name);
    }
    return names.empty() ? "none" : names;
}

bool isTimedDoubleSeq(const std::string& dataType) {
    // Older framework versions name the type without its repository-ID frame; a port that
    // names no type at all is given the benefit of the doubt.
    return dataType.empty() || dataType == "IDL:RTC/TimedDoubleSeq:1.0" ||
           dataType == "RTC/TimedDoubleSeq" || dataType == "TimedDoubleSeq";
}

void checkDoubleSeqInPort(const RTC::PortProfile& profile) {
    const std::string name(profile.name);
    const std::string portType = findStringProperty(profile.properties, "port.port_type");
    if (portType != "DataInPort")
        throw SendError(std::string(m::kNotAnInPort) + name + " (" +
                        (portType.empty() ? "no port.port_type" : portType) + ")");
    const std::string dataType = findStringProperty(profile.properties, "dataport.data_type");
    if (!isTimedDoubleSeq(dataType))
        throw SendError(std::string(m::kWrongDataType) + name + " (" + dataType + ")");
}

}  // namespace

std::string defaultComponentName() {
    struct utsname node {};
    uname(&node);
    return std::string(node.nodename) + ".host_cxt/Pelorin0.rtc";
}

RTC::RTObject_ptr findComponentByName(CORBA::ORB_ptr orb, const std::string& host, int port,
                                      const std::string& name) {
    const std::string where = "corbaloc:iiop:" + host + ":" + std::to_string(port) + "/NameService";
    CosNaming::NamingContextExt_var naming;
    try {
        CORBA::Object_var object = orb->string_to_object(where.c_str());
        naming = CosNaming::NamingContextExt::_narrow(object);
    } catch (const CORBA::SystemException&) {
    }
    if (CORBA::is_nil(naming)) throw SendError(std::string(m::kNoNamingService) + where);
    try {
        CORBA::Object_var object = naming->resolve_str(name.c_str());
        return narrowComponent(object, name);
    } catch (const CosNaming::NamingContext::NotFound&) {
    } catch (const CosNaming::NamingContext::InvalidName&) {
    } catch (const CosNaming::NamingContext::CannotProceed&) {
    }
    throw SendError(std::string(m::kNameNotFound) + name);
}

RTC::RTObject_ptr findComponentByReference(CORBA::ORB_ptr orb, const std::string& reference) {
    CORBA::Object_var object;
    try {
        object = orb->string_to_object(reference.c_str());
    } catch (const CORBA::SystemException&) {
        throw SendError(std::string(m::kBadReference) + reference);
    }
    return narrowComponent(object, reference);
}

RTC::PortService_ptr findPort(RTC::RTObject_ptr component, const std::string& portName) {
    RTC::PortServiceList_var ports = component->get_ports();
    for (CORBA::ULong i = 0; i < ports->length(); ++i) {
        RTC::PortProfile_var profile = ports[i]->get_port_profile();
        const std::string name(profile->name);
        const std::string::size_type dot = name.rfind('.');
        const std::string shortName = dot == std::string::npos ? name : name.substr(dot + 1);
        if (name == portName || shortName == portName) {
            checkDoubleSeqInPort(profile.in());
            return RTC::PortService::_duplicate(ports[i]);
        }
    }
    throw SendError(std::string(m::kNoPort) + portName +
                    " (its ports: " + joinedPortNames(ports.inout()) + ")");
}

std::string publishedAddresses(CORBA::Object_ptr object) {
    std::vector<std::string> list;
    if (CORBA::is_nil(object)) return "?";
    omniIOR_var ior = object->_PR_getobj()->_getIOR();
    const IOP::TaggedProfileList& profiles = ior->iopProfiles();
    try {
        for (CORBA::ULong i = 0; i < profiles.length(); ++i)
            if (profiles[i].tag == IOP::TAG_INTERNET_IOP) appendProfileAddresses(profiles[i], list);
    } catch (const CORBA::SystemException&) {
        // A profile that does not decode adds nothing; the call itself would have failed too.
    }
    std::string text;
    for (const std::string& one : list) text += (text.empty() ? "" : ", ") + one;
    return text.empty() ? "?" : text;
}

SendError unreachableComponent(CORBA::Object_ptr object) {
    return SendError(std::string(m::kUnreachable) + publishedAddresses(object) +
                     std::string(m::kUnreachableHint));
}

RTC::ExecutionContext_ptr ownContext(RTC::RTObject_ptr component) {
    RTC::ExecutionContextList_var contexts = component->get_owned_contexts();
    if (contexts->length() == 0 || CORBA::is_nil(contexts[0]))
        throw SendError(std::string(m::kNoContext));
    return RTC::ExecutionContext::_duplicate(contexts[0]);
}

void activateComponent(RTC::RTObject_ptr component) {
    RTC::ExecutionContext_var context = ownContext(component);
    if (context->get_component_state(component) == RTC::ACTIVE_STATE) return;
    const RTC::ReturnCode_t result = context->activate_component(component);
    if (result != RTC::RTC_OK)
        throw SendError(std::string(m::kActivateFailed) + returnCodeName(result));
}

std::string componentState(RTC::RTObject_ptr component) {
    RTC::ExecutionContext_var context = ownContext(component);
    const unsigned state = static_cast<unsigned>(context->get_component_state(component));
    return state < 4 ? kStateNames[state] : "UNKNOWN";
}

std::string componentProfileText(RTC::RTObject_ptr component) {
    RTC::ComponentProfile_var profile = component->get_component_profile();
    std::string text;
    auto line = [&text](const std::string& key, const char* value) {
        text += key + ": " + (value != nullptr ? value : "") + "\n";
    };
    line("instance_name", profile->instance_name);
    line("type_name", profile->type_name);
    line("description", profile->description);
    line("version", profile->version);
    line("vendor", profile->vendor);
    line("category", profile->category);
    for (CORBA::ULong i = 0; i < profile->properties.length(); ++i) {
        const char* value = nullptr;
        if (profile->properties[i].value >>= value)
            line(static_cast<const char*>(profile->properties[i].name), value);
    }
    // The rate the component's own context runs at, which the manager's settings decide.
    RTC::ExecutionContextList_var contexts = component->get_owned_contexts();
    if (contexts->length() > 0) {
        std::ostringstream rate;
        rate << contexts[0]->get_rate();
        line("owned_context.rate", rate.str().c_str());
    }
    for (CORBA::ULong i = 0; i < profile->port_profiles.length(); ++i) {
        const RTC::PortProfile& port = profile->port_profiles[i];
        text += "port: " + std::string(port.name) + " (" +
                std::to_string(port.connector_profiles.length()) + " connections)\n";
    }
    return text;
}

}  // namespace pelorin::send
