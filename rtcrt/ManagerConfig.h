// How the manager's configuration is assembled from the command line, the environment and
// the configuration file (rtc.conf).
//
// Precedence, lowest first: built-in defaults < configuration file < system keys (os.*,
// manager.pid) < "-o key:value" options. Arguments the manager does not know are skipped, so a
// program may pass its own arguments through unchanged.
#pragma once

#include <istream>
#include <string>
#include <vector>

#include "coil/Properties.h"

namespace pelorin::rtcrt {

struct ManagerArguments {
    std::string configFile;              // "-f FILE"; empty when not given
    bool ignoreMissingFile = false;      // "-i"
    std::vector<std::string> overrides;  // "key:value" of each "-o", in order
    std::vector<std::string> ignored;    // options the manager does not understand
};

ManagerArguments parseManagerArguments(int argc, char** argv);

// Splits "key:value" at its first colon; both parts trimmed. False when there is no colon or
// the key is empty.
bool splitOverride(const std::string& text, std::string& key, std::string& value);

// The first candidate that exists: -f file, else $RTC_MANAGER_CONFIG, else ./rtc.conf and the
// system locations. Empty when none exists. `envConfig` is the environment value or null.
std::string findConfigFile(const ManagerArguments& args, const char* envConfig);

// The built-in defaults.
coil::Properties defaultManagerConfig();

// Applies file content, system keys and overrides on top of the defaults.
coil::Properties buildManagerConfig(const ManagerArguments& args, std::istream* configFile);

// A rate in Hz (or an interval in seconds): a finite number above zero with nothing after it
// but blanks.
bool parsePositiveRate(const std::string& text, double& rate);

// "YES"/"yes"/"true"/"1"... as the framework reads switches.
bool isYes(const std::string& value);

// Every "<prefix>.<key>" of `properties`, as "<key>".
coil::Properties subtree(const coil::Properties& properties, const std::string& prefix);

// Comma-separated list, items trimmed, empty items dropped.
std::vector<std::string> splitCommaList(const std::string& list);

}  // namespace pelorin::rtcrt
