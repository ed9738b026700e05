// Texts of pelorin-send (ASCII).
#pragma once

#include <string_view>

namespace pelorin::send::messages {

inline constexpr std::string_view kUsage =
    "Usage: pelorin-send [options] [VALUE...]\n"
    "Sends RTC::TimedDoubleSeq data to the \"doubleValue\" in-port of a running Pelorin, or to\n"
    "the TimedDoubleSeq in-port of any RT-Component, as a framework out-port does.\n"
    "\n"
    "What to send (one of):\n"
    "  VALUE...              one sequence of the given numbers\n"
    "  --sweep               every value swings as a sine wave, each with its own phase\n"
    "  --stdin               one sequence per line of numbers read from standard input\n"
    "  --state               print the component's state (CREATED, INACTIVE, ACTIVE, ERROR)\n"
    "  --profile             print the component's profile, one \"key: value\" a line, and\n"
    "                        its own execution context's rate (owned_context.rate)\n"
    "  --exit                ask the component to exit\n"
    "\n"
    "Where the component is:\n"
    "  -p, --naming-port N   port of the naming service on the naming host (default 2809)\n"
    "  -H, --host HOST       naming host (default 127.0.0.1)\n"
    "  -n, --name NAME       name in the naming service (default "
    "<hostname>.host_cxt/Pelorin0.rtc)\n"
    "  -i, --ior REF         IOR:... or corbaloc:... of the component; no naming service\n"
    "  --port NAME           the in-port to send to (default doubleValue; a SeqIn's is DoubleSeq)\n"
    "\n"
    "The connection:\n"
    "  --connector-prop KEY=VALUE\n"
    "                        add a connector property, for example\n"
    "                        dataport.subscription_type=new or dataport.buffer.length=1;\n"
    "                        repeat for several\n"
    "  --linger SECONDS      stay connected this long after the last sequence, so that the\n"
    "                        receiver reads it while connected (default 1; 0 disconnects\n"
    "                        at once)\n"
    "  --endpoint ADDRESS    this machine's address that the component calls back, on a\n"
    "                        machine with several (HOST or HOST:PORT, as corba.endpoints)\n"
    "  --byte-order ORDER    CDR byte order of the payload: little or big (default little)\n"
    "\n"
    "Options:\n"
    "  --activate            activate the component in its execution context first\n"
    "  --count N             values per sequence of a sweep (default 8)\n"
    "  --rate HZ             sequences per second of a sweep (default 50)\n"
    "  --duration SECONDS    length of a sweep, 0 for until interrupted (default 10)\n"
    "  --amplitude A         sweep amplitude in degrees or model units (default 45)\n"
    "  --centre C1,C2,...    values the sweep swings about, in order (default 0)\n"
    "  --period SECONDS      time of one full swing (default 4)\n"
    "  -h, --help            show this text\n";

inline constexpr std::string_view kPrefix = "pelorin-send: ";
inline constexpr std::string_view kMissingArgument = "missing argument after ";
inline constexpr std::string_view kNotANumber = "not a number: ";
inline constexpr std::string_view kUnknownOption = "unknown option: ";
inline constexpr std::string_view kBadByteOrder = "byte order must be little or big: ";
inline constexpr std::string_view kOutOfRange = "value out of range for ";
inline constexpr std::string_view kBadCentres = "--centre takes numbers separated by commas: ";
inline constexpr std::string_view kBadInPortName =
    "--port takes the in-port's name (the naming service's port is -p): ";
inline constexpr std::string_view kBadEndpoint = "--endpoint takes HOST or HOST:PORT: ";
inline constexpr std::string_view kEndpointUnusable =
    "cannot listen at --endpoint (is it an address of this machine?): ";
inline constexpr std::string_view kBadConnectorProperty = "--connector-prop takes KEY=VALUE: ";
inline constexpr std::string_view kOnlyCorbaCdrPush = "only corba_cdr push connections are made: ";
inline constexpr std::string_view kEndianByOption =
    "the payload's byte order is chosen with --byte-order: ";
inline constexpr std::string_view kSetByTheInPort = "the in-port publishes this itself: ";
inline constexpr std::string_view kTwoModes =
    "choose one of VALUE..., --sweep, --stdin, --state, --profile, --exit";
inline constexpr std::string_view kNothingToSend =
    "nothing to send (give values, --sweep or --stdin)";

inline constexpr std::string_view kNoNamingService = "naming service not reachable at ";
inline constexpr std::string_view kNameNotFound = "no such name in the naming service: ";
inline constexpr std::string_view kNotAComponent = "not an RT-Component: ";
inline constexpr std::string_view kBadReference = "cannot use reference: ";
inline constexpr std::string_view kNoPort = "the component has no port named ";
inline constexpr std::string_view kNotAnInPort = "not a data in-port: ";
inline constexpr std::string_view kWrongDataType = "not an in-port of RTC::TimedDoubleSeq: ";
inline constexpr std::string_view kUnreachable = "no answer from the component at ";
inline constexpr std::string_view kUnreachableHint =
    ", the address in its reference: is it running, and does its host publish an address "
    "that this machine reaches (corba.endpoints in its rtc.conf)?";
inline constexpr std::string_view kNoCallBack = "the component did not call back this program at ";
inline constexpr std::string_view kNoCallBackHint =
    ": give an address of this machine that it reaches with --endpoint";
inline constexpr std::string_view kConnectFailed = "connection refused by the port, result ";
inline constexpr std::string_view kNoInPortIor =
    "the port published no dataport.corba_cdr.inport_ior";
inline constexpr std::string_view kNoContext = "the component has no execution context";
inline constexpr std::string_view kActivateFailed = "activation failed, result ";
inline constexpr std::string_view kPutFailed = "put answered ";
inline constexpr std::string_view kConnectionLost = "connection lost: ";
inline constexpr std::string_view kStdinLine = "standard input line ";
inline constexpr std::string_view kSkipped = ", line skipped";
inline constexpr std::string_view kCorbaError = "CORBA error: ";

}  // namespace pelorin::send::messages
