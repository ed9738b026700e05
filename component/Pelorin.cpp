#include "component/Pelorin.h"

namespace {

// Port settings: a ring of 64 sequences, neither reading nor writing ever waits. A full ring
// overwrites its oldest entry, because only the newest pose matters.
//
// Framework versions differ in where these settings go: some take them as port properties (a
// `properties()` node read when a connection is made), the bundled runtime takes them as the
// in-port's constructor defaults. The overload below is chosen by what the port offers, so the
// same source builds against either.
template <typename Port>
auto configureInPort(Port& port, int) -> decltype(port.properties(), void()) {
    auto& settings = port.properties();
    settings.setProperty("buffer.length", "64");
    settings.setProperty("buffer.write.full_policy", "overwrite");
    settings.setProperty("buffer.write.timeout", "0.0");
    settings.setProperty("buffer.read.empty_policy", "do_nothing");
    settings.setProperty("buffer.read.timeout", "0.0");
}

template <typename Port>
void configureInPort(Port& /*port*/, long) {}

// onExecute does nothing until a sequence arrives. A runtime that can use that (the bundled one)
// then lets the execution context sleep between sequences instead of waking every period; a
// framework without the call runs every period as usual.
template <typename Component>
auto sleepBetweenSequences(Component& component, int)
    -> decltype(component.executeOnlyWhenInputArrives(), void()) {
    component.executeOnlyWhenInputArrives();
}

template <typename Component>
void sleepBetweenSequences(Component& /*component*/, long) {}

}  // namespace

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
    configureInPort(doubleValueIn_, 0);
    configureInPort(boolValueIn_, 0);
    addInPort(kDoubleValuePort, doubleValueIn_);
    sleepBetweenSequences(*this, 0);
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
