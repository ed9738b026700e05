// Pelorin on the bundled runtime. It refuses payloads that do not fit before it stores them,
// takes the port settings as the in-port's constructor defaults, and can let the execution
// context sleep until input arrives.
#include "component/PayloadGuard.h"
#include "component/RuntimeVariant.h"

namespace pelorin {

void configureInPort(RTC::InPortBase& /*port*/) {}

void sleepBetweenSequences(RTC::DataFlowComponentBase& component) {
    component.executeOnlyWhenInputArrives();
}

GuardedInPort::GuardedInPort(const char* name, RTC::TimedDoubleSeq& value, PayloadGuard& /*guard*/)
    : RTC::InPort<RTC::TimedDoubleSeq>(name, value) {}

}  // namespace pelorin
