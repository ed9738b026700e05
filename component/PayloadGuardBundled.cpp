// The bundled runtime refuses payloads that do not fit before it stores them.
#include "component/PayloadGuard.h"

namespace pelorin {

GuardedInPort::GuardedInPort(const char* name, RTC::TimedDoubleSeq& value, PayloadGuard& /*guard*/)
    : RTC::InPort<RTC::TimedDoubleSeq>(name, value) {}

}  // namespace pelorin
