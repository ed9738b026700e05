// Pelorin on an installed OpenRTM-aist 2.x: the port settings as port properties (read when a
// connection is made), the listeners that check payloads; its execution context runs every
// period.
#include "component/PayloadGuard.h"  // first: the data types before the framework's templates

#include <coil/stringutil.h>
#include <rtm/ConnectorListener.h>

#include "component/PayloadCheck.h"
#include "component/RuntimeVariant.h"
#include "util/MessageStream.h"

namespace pelorin {

void configureInPort(RTC::InPortBase& port) {
    coil::Properties& settings = port.properties();
    settings.setProperty("buffer.length", "64");
    settings.setProperty("buffer.write.full_policy", "overwrite");
    settings.setProperty("buffer.write.timeout", "0.0");
    settings.setProperty("buffer.read.empty_policy", "do_nothing");
    settings.setProperty("buffer.read.timeout", "0.0");
}

void sleepBetweenSequences(RTC::DataFlowComponentBase& /*component*/) {}
namespace {

// Only the CDR form has the layout that checkTimedDoubleSeq reads.
constexpr const char* kCdr = "cdr";

// The connection's byte order, as the framework's own listeners read it: little-endian unless
// the first entry of serializer.cdr.endian is "big".
bool littleEndian(RTC::ConnectorInfo& info) {
    const std::string order =
        coil::normalize(info.properties.getProperty("serializer.cdr.endian", "little"));
    const coil::vstring entries = coil::split(order, ",");
    return entries.empty() || entries.front() != "big";
}

// ON_RECEIVED: on the ORB's threads, before the payload enters the buffer.
class ReceivedPayloadListener : public RTC::ConnectorDataListener {
  public:
    ReturnCode operator()(RTC::ConnectorInfo& info, RTC::ByteData& data,
                          const std::string& marshalingType) override {
        if (marshalingType != kCdr) return NO_CHANGE;
        const PayloadCheck result =
            checkTimedDoubleSeq(data.getBuffer(), data.getDataLength(), littleEndian(info));
        if (result.fits) return NO_CHANGE;
        reportRefusedPayload(refusals_, Console::out(), info.name, result, data.getDataLength());
        const unsigned char undecodable = 0;
        data.writeData(&undecodable, sizeof undecodable);
        return DATA_CHANGED;
    }

  private:
    RefusalLog refusals_;  // the port's: the listener lives as long as the port
};

// ON_BUFFER_READ: on the execution context's thread, inside the component's read. Every entry
// that passed ReceivedPayloadListener decodes; a refused one is a single byte by now.
class ReadPayloadListener : public RTC::ConnectorDataListener {
  public:
    explicit ReadPayloadListener(PayloadGuard& guard) : guard_(guard) {}

    ReturnCode operator()(RTC::ConnectorInfo& /*info*/, RTC::ByteData& data,
                          const std::string& marshalingType) override {
        if (marshalingType == kCdr) guard_.entryRead(data.getDataLength() >= kSmallestPayload);
        return NO_CHANGE;
    }

  private:
    PayloadGuard& guard_;
};

}  // namespace

GuardedInPort::GuardedInPort(const char* name, RTC::TimedDoubleSeq& value, PayloadGuard& guard)
    : RTC::InPort<RTC::TimedDoubleSeq>(name, value) {
    // The plain holder of the port's base class replaces the typed one (and its listeners).
    RTC::InPortBase::initConnectorListeners();
    addConnectorDataListener(RTC::ConnectorDataListenerType::ON_RECEIVED,
                             new ReceivedPayloadListener);
    addConnectorDataListener(RTC::ConnectorDataListenerType::ON_BUFFER_READ,
                             new ReadPayloadListener(guard));
}

}  // namespace pelorin
