#include "rtcrt/NVUtil.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <random>

namespace pelorin::rtcrt {

void appendString(SDOPackage::NVList& list, const std::string& name, const std::string& value) {
    CORBA::ULong index = list.length();
    list.length(index + 1);
    list[index].name = name.c_str();
    list[index].value <<= value.c_str();
}

void appendObject(SDOPackage::NVList& list, const std::string& name, CORBA::Object_ptr object) {
    CORBA::ULong index = list.length();
    list.length(index + 1);
    list[index].name = name.c_str();
    list[index].value <<= object;
}

bool findString(const SDOPackage::NVList& list, const std::string& name, std::string& value) {
    for (CORBA::ULong i = 0; i < list.length(); ++i) {
        if (name != static_cast<const char*>(list[i].name)) continue;
        const char* text = nullptr;
        if (!(list[i].value >>= text)) return false;
        value = text;
        return true;
    }
    return false;
}

coil::Properties toProperties(const SDOPackage::NVList& list) {
    coil::Properties properties;
    for (CORBA::ULong i = 0; i < list.length(); ++i) {
        const char* text = nullptr;
        if (list[i].value >>= text) properties.setProperty(list[i].name.in(), text);
    }
    return properties;
}

SDOPackage::NVList fromProperties(const coil::Properties& properties) {
    SDOPackage::NVList list;
    for (const std::string& key : properties.propertyNames()) {
        appendString(list, key, properties.getProperty(key));
    }
    return list;
}

std::string generateUuid() {
    // A source of its own for each call: ids are made once per connection, so nothing needs to be
    // kept between calls or shared between threads.
    std::random_device source;
    unsigned char bytes[16];
    for (unsigned char& byte : bytes) byte = static_cast<unsigned char>(source());
    bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0f) | 0x40);  // version 4
    bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3f) | 0x80);  // RFC 4122 variant
    char text[37];
    std::snprintf(text, sizeof text,
                  "%02x%02x%02x%02x-%02x%02x-%02x%02x-%02x%02x-%02x%02x%02x%02x%02x%02x", bytes[0],
                  bytes[1], bytes[2], bytes[3], bytes[4], bytes[5], bytes[6], bytes[7], bytes[8],
                  bytes[9], bytes[10], bytes[11], bytes[12], bytes[13], bytes[14], bytes[15]);
    return text;
}

std::string toLowerTrimmed(const std::string& text) {
    size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return "";
    std::string result = text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

}  // namespace pelorin::rtcrt
