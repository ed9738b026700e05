// Command line of pelorin-send.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tools/send/CdrEncoding.h"

namespace pelorin::send {

enum class SendMode { Values, Sweep, Stdin, State, Profile, Exit, Help };

// Connector properties in the order given, as name and string value.
using PropertyList = std::vector<std::pair<std::string, std::string>>;

struct SendOptions {
    std::string namingHost = "127.0.0.1";
    int namingPort = 2809;
    std::string name;       // naming-service path; empty: "<host>.host_cxt/Pelorin0.rtc"
    std::string reference;  // IOR or corbaloc of the component; skips the naming service
    std::string portName = "doubleValue";  // the in-port, with or without "<instance>."
    std::string endpoint;                  // our own address for the port's calls back
    PropertyList connectorProperties;      // from --connector-prop, later ones replacing
    double linger = 1.0;                   // seconds to stay connected after the last sequence
    bool activate = false;
    SendMode mode = SendMode::Values;
    std::vector<double> values;   // for SendMode::Values
    int count = 8;                // values per sequence of a sweep
    double rate = 50.0;           // sequences per second of a sweep (Hz)
    double duration = 10.0;       // seconds of a sweep; 0 sweeps until interrupted
    double amplitude = 45.0;      // degrees for angles, model units for offsets
    std::vector<double> centres;  // value i of a sweep swings about centres[i] (0 past the list)
    double period = 4.0;          // seconds for one full swing of a sweep
    ByteOrder byteOrder = ByteOrder::Little;
};

// Parses argv[1..argc). On failure returns false and sets `error` to a one-line message that
// names the offending argument.
bool parseSendOptions(int argc, const char* const* argv, SendOptions& options, std::string& error);

// The usage text, lines ending in "\n".
std::string sendUsage();

// The properties of the connection request: what a framework out-port sends for a "corba_cdr"
// push connection of TimedDoubleSeq in `order`, then `extra`, each replacing a property of the
// same name or added at the end.
PropertyList connectorProperties(ByteOrder order, const PropertyList& extra);

}  // namespace pelorin::send
