// Helpers for SDOPackage::NVList, the name/any lists of every profile.
//
// Property values are carried as unbounded strings, the only kind the framework's peers read
// back; object references are the one exception (the in-port endpoint reference).
#pragma once

#include <string>

#include "coil/Properties.h"
#include "rtm/RTC.h"

namespace pelorin::rtcrt {

void appendString(SDOPackage::NVList& list, const std::string& name, const std::string& value);
void appendObject(SDOPackage::NVList& list, const std::string& name, CORBA::Object_ptr object);
// The string value of the first entry named `name`; false when absent or not a string.
bool findString(const SDOPackage::NVList& list, const std::string& name, std::string& value);
// Every string entry; other values are skipped.
coil::Properties toProperties(const SDOPackage::NVList& list);
SDOPackage::NVList fromProperties(const coil::Properties& properties);

// A random 36-character lower-case UUID text, used as a connector id.
std::string generateUuid();

std::string toLowerTrimmed(const std::string& text);

}  // namespace pelorin::rtcrt
