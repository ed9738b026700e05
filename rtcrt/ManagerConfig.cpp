#include "rtcrt/ManagerConfig.h"

#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>

#include "util/ManagerOptions.h"
#include "util/NumberText.h"

namespace pelorin::rtcrt {
namespace {

// clang-format off
const char* const kDefaults[] = {
    "config.version", PELORIN_RTCRT_VERSION,
    "openrtm.name", ("pelorin-rtcrt-" PELORIN_RTCRT_VERSION),
    "openrtm.version", PELORIN_RTCRT_VERSION,
    "manager.instance_name", "manager",
    "corba.nameservers", "localhost",
    "corba.endpoints", "",
    "corba.args", "-ORBclientCallTimeOutPeriod 10000 -ORBinConScanPeriod 0",
    "corba.id", "omniORB",
    "naming.enable", "YES",
    "naming.type", "corba",
    "naming.formats", "%h.host_cxt/%n.rtc",
    "naming.update.enable", "YES",
    "naming.update.interval", "10.0",
    "naming.update.rebind", "NO",
    "manager.name", "manager",
    "exec_cxt.periodic.type", "PeriodicExecutionContext",
    "exec_cxt.periodic.rate", "1000",
    "exec_cxt.sync_transition", "YES",
    "exec_cxt.transition_timeout", "0.5",
    "logger.enable", "YES",
    "logger.file_name", "./rtc%p.log",
    "logger.log_level", "INFO",
    "manager.components.preactivation", "",
    "manager.shutdown_on_nortcs", "YES",
    "",
};
// clang-format on

std::string trim(const std::string& text) {
    size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

constexpr long kHighestPort = 65535;

// "-p PORT": the ORB's endpoint on that port, as the framework sets it; anything but a port is
// reported and changes nothing.
void addPortOption(const std::string& text, ManagerArguments& args) {
    long port = 0;
    const NumberProblem problem = readWholeNumber(text, 0, kHighestPort, port);
    if (problem != NumberProblem::None) {
        args.problems.push_back(describeNumberProblem(problem, "-p", text, 0, kHighestPort));
        return;
    }
    args.overrides.push_back("corba.endpoints::" + text);
}

void setSystemKeys(coil::Properties& config) {
    struct utsname names {};
    if (uname(&names) == 0) {
        config.setProperty("os.name", names.sysname);
        config.setProperty("os.release", names.release);
        config.setProperty("os.version", names.version);
        config.setProperty("os.arch", names.machine);
        config.setProperty("os.hostname", names.nodename);
    }
    config.setProperty("manager.pid", std::to_string(getpid()));
}

}  // namespace

bool splitOverride(const std::string& text, std::string& key, std::string& value) {
    size_t colon = text.find(':');
    if (colon == std::string::npos) return false;
    key = trim(text.substr(0, colon));
    value = trim(text.substr(colon + 1));
    return !key.empty();
}

ManagerArguments parseManagerArguments(int argc, char** argv) {
    ManagerArguments args;
    if (argv == nullptr) return args;
    ManagerOptionScan scan = scanManagerOptions(argc, argv, false);
    for (const ManagerOption& option : scan.options) {
        switch (option.letter) {
            case 'f':
                args.configFile = option.value;
                break;
            case 'o':
                args.overrides.push_back(option.value);
                break;
            case 'p':
                addPortOption(option.value, args);
                break;
            case 'i':
                args.ignoreMissingFile = true;
                break;
            case 'a':
                args.overrides.push_back("manager.corba_servant:NO");
                break;
            default:
                // 'd': a master manager is not offered; the switch is accepted and has no effect.
                break;
        }
    }
    args.problems.insert(args.problems.begin(), scan.problems.begin(), scan.problems.end());
    args.operands = std::move(scan.operands);
    return args;
}

coil::Properties defaultManagerConfig() {
    return coil::Properties(kDefaults);
}

coil::Properties buildManagerConfig(const ManagerArguments& args, std::istream* configFile) {
    coil::Properties config = defaultManagerConfig();
    if (configFile != nullptr) config.load(*configFile);
    setSystemKeys(config);
    for (const std::string& text : args.overrides) {
        std::string key;
        std::string value;
        if (splitOverride(text, key, value)) config.setProperty(key, value);
    }
    return config;
}

bool parsePositiveRate(const std::string& text, double& rate) {
    double value = 0.0;
    if (readNumber(text, 0.0, HUGE_VAL, value) != NumberProblem::None || value <= 0.0) return false;
    rate = value;
    return true;
}

std::string describeBadPositive(const std::string& key, const std::string& text) {
    double value = 0.0;
    const NumberProblem problem =
        readNumber(text, -HUGE_VAL, HUGE_VAL, value) == NumberProblem::None
            ? NumberProblem::OutOfRange
            : NumberProblem::NotANumber;
    return describeNumberProblem(problem, key, text, 0.0, HUGE_VAL);
}

bool isYes(const std::string& value) {
    std::string lower = trim(value);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower == "yes" || lower == "true" || lower == "on" || lower == "1";
}

coil::Properties subtree(const coil::Properties& properties, const std::string& prefix) {
    const std::string head = prefix + ".";
    coil::Properties node;
    for (const std::string& key : properties.propertyNames()) {
        if (key.size() > head.size() && key.compare(0, head.size(), head) == 0) {
            node.setProperty(key.substr(head.size()), properties.getProperty(key));
        }
    }
    return node;
}

std::vector<std::string> splitCommaList(const std::string& list) {
    std::vector<std::string> items;
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(',', start);
        if (comma == std::string::npos) comma = list.size();
        std::string item = list.substr(start, comma - start);
        size_t first = item.find_first_not_of(" \t");
        if (first != std::string::npos) {
            items.push_back(item.substr(first, item.find_last_not_of(" \t") - first + 1));
        }
        start = comma + 1;
    }
    return items;
}

}  // namespace pelorin::rtcrt
