// The addresses peers reach this process at, as its object references carry them.
#pragma once

#include <string>
#include <vector>

#include "rtm/RTC.h"

namespace pelorin::rtcrt {

// "host:port" of each IIOP address in `object`'s reference ("[address]:port" for IPv6): the
// profile's own address first, then its alternate addresses. Empty for a nil reference.
std::vector<std::string> publishedEndpoints(CORBA::Object_ptr object);

}  // namespace pelorin::rtcrt
