// Common framework types: the generated interface stubs and the execution context id alias.
#pragma once

#include <omniORB4/CORBA.h>

#include "rtm/idl/BasicDataTypeSkel.h"
#include "rtm/idl/DataPort_OpenRTMSkel.h"
#include "rtm/idl/OpenRTMSkel.h"
#include "rtm/idl/RTCSkel.h"
#include "rtm/idl/SDOPackageSkel.h"

namespace RTC {
using UniqueId = ExecutionContextHandle_t;
}  // namespace RTC
