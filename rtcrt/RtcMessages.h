// Texts the bundled framework runtime writes to the console and its log, in UTF-8.
#pragma once

#include <string_view>

namespace pelorin::rtcrt::messages {

// Console (all followed by a line end).
inline constexpr std::string_view kConfigFileMissing = "Configuration file not found: ";
inline constexpr std::string_view kConfigFileNotRegular =
    "Configuration file is not a regular file (a FIFO, directory or device), not read: ";
inline constexpr std::string_view kNoNameServer =
    "Warning: no naming service answered; the component is unregistered for now. Tried: ";
inline constexpr std::string_view kOrbInitFailed = "The CORBA ORB could not be initialised: ";
inline constexpr std::string_view kOrbArgumentsWere = "; ORB arguments: ";
inline constexpr std::string_view kBadRate = "Ignored an invalid exec_cxt.periodic.rate: ";
inline constexpr std::string_view kTooManyInstances =
    "No more instances allowed (max_instance) of: ";
inline constexpr std::string_view kUnknownFactory = "No component factory is registered for: ";
inline constexpr std::string_view kLogFileFailed = "Log file could not be opened: ";

// Log lines.
inline constexpr std::string_view kLogArgumentLeft = "Argument left to the program: ";
inline constexpr std::string_view kLogManagerStarted = "Manager started, pid ";
inline constexpr std::string_view kLogBound = "Bound name ";
inline constexpr std::string_view kLogBoundAgain = "Name was missing or taken; bound again: ";
inline constexpr std::string_view kLogUnbound = "Unbound name ";
inline constexpr std::string_view kLogBindFailed = "Name could not be bound: ";
inline constexpr std::string_view kLogComponentCreated = "Component created: ";
inline constexpr std::string_view kLogComponentFailed = "Component initialisation failed: ";
inline constexpr std::string_view kLogRateFrom = "Execution context rate (Hz) ";
inline constexpr std::string_view kLogConnected = "Connector established: ";
inline constexpr std::string_view kLogDisconnected = "Connector removed: ";
inline constexpr std::string_view kLogPutRefused = "Refused a sample on port ";
inline constexpr std::string_view kLogRefusalsCounted =
    "; further refusals on this connection are counted and reported every 10 s";
inline constexpr std::string_view kLogRefusedMore = "Refused ";
inline constexpr std::string_view kLogRefusedMoreOn = " more samples on port ";
inline constexpr std::string_view kLogRefusalsPeriod = " in the last 10 s; latest: ";
inline constexpr std::string_view kLogRefusalsBeforeClose = " before it closed; latest: ";
inline constexpr std::string_view kLogPortConnector = ", connector ";
// Why a sample was refused; each is followed by " (N bytes)".
inline constexpr std::string_view kRefusedOversized = "payload larger than 16 MiB";
inline constexpr std::string_view kRefusedLength = "sequence length beyond the payload";
inline constexpr std::string_view kRefusedMalformed = "payload does not decode";
inline constexpr std::string_view kRefusedBytes = " bytes)";
inline constexpr std::string_view kLogCallbackThrew =
    "A component callback threw; state set to ERROR: ";
inline constexpr std::string_view kLogShutdown = "Manager shutting down";

}  // namespace pelorin::rtcrt::messages
