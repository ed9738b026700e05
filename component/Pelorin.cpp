#include "component/Pelorin.h"

#include "component/RuntimeVariant.h"

Pelorin::Pelorin(RTC::Manager* manager, pelorin::ComponentHost& host)
    : RTC::DataFlowComponentBase(manager),
      host_(host),
      doubleValueIn_(kDoubleValuePort, doubleValue_, payloadGuard_),
      boolValueIn_(kBoolValuePort, boolValue_),
      handOver_(host) {}

Pelorin::~Pelorin() = default;

// The port is added here, not in the constructor: a framework names a port after its owner's
// instance name at the moment it is added, and that name is set only after construction. A port
// added earlier would be published as ".doubleValue", which no connection request names.
RTC::ReturnCode_t Pelorin::onInitialize() {
    pelorin::configureInPort(doubleValueIn_);
    pelorin::configureInPort(boolValueIn_);
    addInPort(kDoubleValuePort, doubleValueIn_);
    pelorin::sleepBetweenSequences(*this);
    host_.start();
    return RTC::RTC_OK;
}

RTC::ReturnCode_t Pelorin::onActivated(RTC::UniqueId /*ec_id*/) {
    return RTC::RTC_OK;
}

RTC::ReturnCode_t Pelorin::onExecute(RTC::UniqueId /*ec_id*/) {
    if (!doubleValueIn_.isNew()) return RTC::RTC_OK;
    // Drain to the newest entry: several sequences may have arrived within one period, and a
    // runtime may hand out its buffer oldest first.
    bool decoded = false;
    while (doubleValueIn_.isNew()) decoded = payloadGuard_.read(doubleValueIn_) || decoded;
    // Every entry was refused: the variable still holds a pose that was applied before.
    if (!decoded) return RTC::RTC_OK;
    const CORBA::ULong length = doubleValue_.data.length();
    handOver_.deliver(length > 0 ? &doubleValue_.data[0] : nullptr, length);
    return RTC::RTC_OK;
}
