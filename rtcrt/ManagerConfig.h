// How the manager's configuration is assembled from the command line, the environment and
// the configuration file (rtc.conf).
//
// Precedence, lowest first: built-in defaults < configuration file < system keys (os.*,
// manager.pid) < "-o key:value" options. As in the framework, arguments that are not options are
// left to the program and unknown options are reported and skipped.
#pragma once

#include <istream>
#include <string>
#include <vector>

#include "coil/Properties.h"

namespace pelorin::rtcrt {

struct ManagerArguments {
    std::string configFile;              // "-f FILE"; empty when not given
    bool ignoreMissingFile = false;      // "-i"
    std::vector<std::string> overrides;  // "key:value" of each "-o" (and "-a", "-p"), in order
    // One line each for what the framework's parser complains about (unknown letters, a value
    // missing) and for a "-p" port that is not a port; the arguments are used all the same.
    std::vector<std::string> problems;
    std::vector<std::string> operands;  // the program's own arguments, left to it
};

// Reads the manager's options as the framework does (util/ManagerOptions.h).
ManagerArguments parseManagerArguments(int argc, char** argv);

// Splits "key:value" at its first colon; both parts trimmed. False when there is no colon or
// the key is empty.
bool splitOverride(const std::string& text, std::string& key, std::string& value);

// The built-in defaults.
coil::Properties defaultManagerConfig();

// Applies file content, system keys and overrides on top of the defaults.
coil::Properties buildManagerConfig(const ManagerArguments& args, std::istream* configFile);

// A rate in Hz (or an interval in seconds): a number above zero (util/NumberText.h).
bool parsePositiveRate(const std::string& text, double& rate);
// Why parsePositiveRate refused `text`, naming `key` (util/NumberText.h's words).
std::string describeBadPositive(const std::string& key, const std::string& text);

// "YES"/"yes"/"true"/"1"... as the framework reads switches.
bool isYes(const std::string& value);

// Every "<prefix>.<key>" of `properties`, as "<key>".
coil::Properties subtree(const coil::Properties& properties, const std::string& prefix);

// Comma-separated list, items trimmed, empty items dropped.
std::vector<std::string> splitCommaList(const std::string& list);

}  // namespace pelorin::rtcrt
