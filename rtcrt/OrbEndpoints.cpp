#include "rtcrt/OrbEndpoints.h"

#include <omniORB4/IIOP.h>

namespace pelorin::rtcrt {
namespace {

std::string endpointText(const char* host, CORBA::UShort port) {
    const std::string address = host;
    const bool v6 = address.find(':') != std::string::npos;
    return (v6 ? "[" + address + "]" : address) + ":" + std::to_string(port);
}

// An alternate address component holds an encapsulated host string and port.
std::string alternateAddress(const IOP::TaggedComponent& component) {
    cdrEncapsulationStream stream(component.component_data.get_buffer(),
                                  component.component_data.length(), 1);
    IIOP::Address address;
    address <<= stream;
    return endpointText(address.host, address.port);
}

}  // namespace

std::vector<std::string> publishedEndpoints(CORBA::Object_ptr object) {
    std::vector<std::string> endpoints;
    if (CORBA::is_nil(object)) return endpoints;
    cdrMemoryStream stream;
    CORBA::Object::_marshalObjRef(object, stream);
    IOP::IOR ior;
    ior <<= stream;
    for (CORBA::ULong i = 0; i < ior.profiles.length(); ++i) {
        if (ior.profiles[i].tag != IOP::TAG_INTERNET_IOP) continue;
        IIOP::ProfileBody body;
        IIOP::unmarshalProfile(ior.profiles[i], body);
        endpoints.push_back(endpointText(body.address.host, body.address.port));
        for (CORBA::ULong k = 0; k < body.components.length(); ++k) {
            if (body.components[k].tag == IOP::TAG_ALTERNATE_IIOP_ADDRESS) {
                endpoints.push_back(alternateAddress(body.components[k]));
            }
        }
    }
    return endpoints;
}

}  // namespace pelorin::rtcrt
