// Texts the bundled framework runtime writes to the console and its log, in UTF-8.
#pragma once

namespace pelorin::rtcrt::messages {

// Console (all followed by a line end).
inline constexpr const char kConfigFileMissing[] = "Configuration file not found: ";
inline constexpr const char kNoNameServer[] =
    "Warning: no naming service answered; the component is unregistered for now. Tried: ";
inline constexpr const char kOrbInitFailed[] = "The CORBA ORB could not be initialised: ";
inline constexpr const char kOrbArgumentsWere[] = "; ORB arguments: ";
inline constexpr const char kBadRate[] = "Ignored an invalid exec_cxt.periodic.rate: ";
inline constexpr const char kTooManyInstances[] = "No more instances allowed (max_instance) of: ";
inline constexpr const char kUnknownFactory[] = "No component factory is registered for: ";
inline constexpr const char kLogFileFailed[] = "Log file could not be opened: ";

// Log lines.
inline constexpr const char kLogArgumentLeft[] = "Argument left to the program: ";
inline constexpr const char kLogManagerStarted[] = "Manager started, pid ";
inline constexpr const char kLogBound[] = "Bound name ";
inline constexpr const char kLogBoundAgain[] = "Name was missing or taken; bound again: ";
inline constexpr const char kLogUnbound[] = "Unbound name ";
inline constexpr const char kLogBindFailed[] = "Name could not be bound: ";
inline constexpr const char kLogComponentCreated[] = "Component created: ";
inline constexpr const char kLogComponentFailed[] = "Component initialisation failed: ";
inline constexpr const char kLogRateFrom[] = "Execution context rate (Hz) ";
inline constexpr const char kLogConnected[] = "Connector established: ";
inline constexpr const char kLogDisconnected[] = "Connector removed: ";
inline constexpr const char kLogPutRefused[] = "Refused a sample on port ";
inline constexpr const char kLogRefusalsCounted[] =
    "; further refusals on this connection are counted and reported every 10 s";
inline constexpr const char kLogRefusedMore[] = "Refused ";
inline constexpr const char kLogRefusedMoreOn[] = " more samples on port ";
inline constexpr const char kLogRefusalsPeriod[] = " in the last 10 s; latest: ";
inline constexpr const char kLogRefusalsBeforeClose[] = " before it closed; latest: ";
inline constexpr const char kLogPortConnector[] = ", connector ";
// Why a sample was refused; each is followed by " (N bytes)".
inline constexpr const char kRefusedOversized[] = "payload larger than 16 MiB";
inline constexpr const char kRefusedLength[] = "sequence length beyond the payload";
inline constexpr const char kRefusedMalformed[] = "payload does not decode";
inline constexpr const char kRefusedBytes[] = " bytes)";
inline constexpr const char kLogCallbackThrew[] =
    "A component callback threw; state set to ERROR: ";
inline constexpr const char kLogShutdown[] = "Manager shutting down";

}  // namespace pelorin::rtcrt::messages
