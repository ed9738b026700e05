// Listeners that a component adds to hear of changes to its configuration sets, with the
// framework's names: ON_SET_CONFIG_SET when a tool has written values into a set (the listener
// gets those values, named after the set), ON_ACTIVATE_CONFIG_SET when a set was made the active
// one (the listener gets its name). They run on the ORB thread that carried the tool's request.
#pragma once

#include <cstdint>

#include "coil/Properties.h"

namespace RTC {

enum class ConfigurationSetListenerType : uint8_t {
    ON_SET_CONFIG_SET,
    ON_ADD_CONFIG_SET,
    CONFIG_SET_LISTENER_NUM
};

class ConfigurationSetListener {
  public:
    virtual ~ConfigurationSetListener() = default;
    virtual void operator()(const coil::Properties& config_set) = 0;
};

enum class ConfigurationSetNameListenerType : uint8_t {
    ON_UPDATE_CONFIG_SET,
    ON_REMOVE_CONFIG_SET,
    ON_ACTIVATE_CONFIG_SET,
    CONFIG_SET_NAME_LISTENER_NUM
};

class ConfigurationSetNameListener {
  public:
    virtual ~ConfigurationSetNameListener() = default;
    virtual void operator()(const char* config_set_name) = 0;
};

}  // namespace RTC
