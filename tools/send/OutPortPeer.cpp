#include "tools/send/OutPortPeer.h"

#include <chrono>

#include "tools/send/ComponentClient.h"
#include "tools/send/OutPortServant.h"
#include "tools/send/SendMessages.h"

namespace pelorin::send {
namespace {

namespace m = messages;

const char* returnCodeText(RTC::ReturnCode_t code) {
    static const char* const names[] = {"RTC_OK",      "RTC_ERROR",        "BAD_PARAMETER",
                                        "UNSUPPORTED", "OUT_OF_RESOURCES", "PRECONDITION_NOT_MET"};
    const unsigned index = static_cast<unsigned>(code);
    return index < sizeof names / sizeof names[0] ? names[index] : "unknown";
}

RTC::ConnectorProfile connectorRequest(RTC::PortService_ptr self, RTC::PortService_ptr inPort,
                                       const PropertyList& properties) {
    RTC::ConnectorProfile profile;
    profile.name = CORBA::string_dup("pelorin-send");
    profile.connector_id = CORBA::string_dup("");
    profile.ports.length(2);
    profile.ports[0] = RTC::PortService::_duplicate(self);
    profile.ports[1] = RTC::PortService::_duplicate(inPort);
    for (const auto& [key, value] : properties)
        appendStringProperty(profile.properties, key.c_str(), value);
    return profile;
}

}  // namespace

const char* portStatusName(OpenRTM::PortStatus status) {
    static const char* const names[] = {"PORT_OK",      "PORT_ERROR",     "BUFFER_FULL",
                                        "BUFFER_EMPTY", "BUFFER_TIMEOUT", "UNKNOWN_ERROR"};
    const unsigned index = static_cast<unsigned>(status);
    return index < sizeof names / sizeof names[0] ? names[index] : "unknown";
}

OutPortPeer::OutPortPeer(CORBA::ORB_ptr orb, PortableServer::POA_ptr poa, ByteOrder order)
    : order_(order), poa_(PortableServer::POA::_duplicate(poa)), servant_(new OutPortServant(orb)) {
    servantId_ = poa_->activate_object(servant_);
    CORBA::Object_var object = poa_->id_to_reference(servantId_.in());
    self_ = RTC::PortService::_narrow(object);
    servant_->setSelf(self_);
}

OutPortPeer::~OutPortPeer() {
    try {
        poa_->deactivate_object(servantId_.in());
    } catch (const CORBA::Exception&) {
    }
    servant_->_remove_ref();
}

void OutPortPeer::connect(RTC::PortService_ptr inPort, const PropertyList& extra) {
    RTC::ConnectorProfile profile =
        connectorRequest(self_, inPort, connectorProperties(order_, extra));
    // The in-port runs the handshake: it calls our notify_connect first (we are ports[0]), we
    // forward to it, it publishes its endpoint, and we subscribe to it on the way back.
    const RTC::ReturnCode_t result = inPort->connect(profile);
    if (result != RTC::RTC_OK && !servant_->calledBack())
        throw SendError(std::string(m::kNoCallBack) + publishedAddresses(self_) +
                        std::string(m::kNoCallBackHint));
    if (result != RTC::RTC_OK)
        throw SendError(std::string(m::kConnectFailed) + returnCodeText(result));
    inPort_ = RTC::PortService::_duplicate(inPort);
    connectorId_ = static_cast<const char*>(profile.connector_id);
    OpenRTM::InPortCdr_var endpoint = servant_->endpoint();
    if (CORBA::is_nil(endpoint)) {
        disconnect();
        throw SendError(std::string(m::kNoInPortIor));
    }
}

OpenRTM::PortStatus OutPortPeer::put(const std::vector<double>& values) {
    OpenRTM::InPortCdr_var endpoint = servant_->endpoint();
    if (CORBA::is_nil(endpoint)) throw SendError(std::string(m::kConnectionLost) + "not connected");
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const auto sec = std::chrono::duration_cast<std::chrono::seconds>(now);
    const auto nsec = std::chrono::duration_cast<std::chrono::nanoseconds>(now - sec);
    const std::vector<std::uint8_t> bytes =
        encodeTimedDoubleSeq(static_cast<std::uint32_t>(sec.count()),
                             static_cast<std::uint32_t>(nsec.count()), values, order_);
    OpenRTM::CdrData data;
    data.length(static_cast<CORBA::ULong>(bytes.size()));
    for (CORBA::ULong i = 0; i < bytes.size(); ++i) data[i] = bytes[i];
    try {
        return endpoint->put(data);
    } catch (const CORBA::Exception& e) {
        throw SendError(std::string(m::kConnectionLost) + e._name());
    }
}

void OutPortPeer::disconnect() {
    if (connectorId_.empty() || CORBA::is_nil(inPort_)) return;
    const std::string id = connectorId_;
    connectorId_.clear();
    try {
        inPort_->disconnect(id.c_str());
    } catch (const CORBA::Exception&) {
        // The component is gone; our side is dropped all the same.
        servant_->notify_disconnect(id.c_str());
    }
}

}  // namespace pelorin::send
