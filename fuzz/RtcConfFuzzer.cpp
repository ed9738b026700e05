// rtc.conf and the manager's command line: an input is the configuration file's text, optionally
// followed by a NUL byte and command-line arguments separated by NUL bytes. The configuration is
// assembled as the manager assembles it, then every key the runtime reads is read through the
// same helpers (switches, rates, lists, name servers, naming formats, log level, subtrees).
// Nothing is opened: the text comes from memory and no log file is configured.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "rtcrt/Logger.h"
#include "rtcrt/ManagerConfig.h"
#include "rtcrt/NamingRegistrar.h"
#include "util/ManagerOptions.h"

namespace {

using pelorin::fuzz::check;
namespace rt = pelorin::rtcrt;

const char* const kSwitches[] = {"naming.enable", "naming.update.enable", "naming.update.rebind",
                                 "logger.enable", "manager.shutdown_on_nortcs"};
const char* const kRates[] = {"exec_cxt.periodic.rate", "naming.update.interval"};
const char* const kLists[] = {"corba.nameservers", "corba.endpoints",
                              "corba.endpoint",    "manager.components.preactivation",
                              "naming.formats",    "logger.file_name"};

void checkList(const std::vector<std::string>& items) {
    for (const std::string& item : items) {
        check(!item.empty() && item.find(',') == std::string::npos, "list items");
        check(item.front() != ' ' && item.front() != '\t' && item.back() != ' ' &&
                  item.back() != '\t',
              "list items are trimmed");
    }
}

// The component's own profile, as Pelorin's is, with the configuration's "example" nodes.
coil::Properties componentProfile(const coil::Properties& config) {
    coil::Properties profile;
    profile.setProperty("implementation_id", "Pelorin");
    profile.setProperty("instance_name", "Pelorin0");
    profile.setProperty("type_name", "Pelorin");
    profile.setProperty("category", "example");
    profile << rt::subtree(config, "example.Pelorin");
    profile << rt::subtree(config, "example.Pelorin0");
    return profile;
}

void readAsTheRuntimeDoes(const coil::Properties& config) {
    for (const char* key : kSwitches) rt::isYes(config.getProperty(key));
    for (const char* key : kRates) {
        double rate = 0;
        if (rt::parsePositiveRate(config.getProperty(key), rate)) {
            check(std::isfinite(rate) && rate > 0, "rates are finite and positive");
        }
    }
    for (const char* key : kLists) checkList(rt::splitCommaList(config.getProperty(key)));
    for (const std::string& server : rt::splitCommaList(config.getProperty("corba.nameservers"))) {
        rt::nameServerUri(server);
    }
    const coil::Properties profile = componentProfile(config);
    const std::string formats =
        profile.getProperty("naming.formats", config.getProperty("naming.formats"));
    for (const std::string& format : rt::splitCommaList(formats)) {
        rt::formatComponentName(format, profile, config);
    }
    rt::parseLogLevel(config.getProperty("logger.log_level"));

    for (const std::string& key : config.propertyNames()) {
        check(config.hasKey(key.c_str()) != nullptr, "every listed key is there");
    }
    std::ostringstream listed;
    config.list(listed);
    coil::Properties merged = rt::defaultManagerConfig();
    merged << config;
    check(merged.size() >= config.size(), "a merge keeps every key");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t nul = input.find('\0');
    std::istringstream file{std::string(input.substr(0, nul))};

    std::vector<std::string> words{"pelorin"};
    for (std::size_t at = nul; at != std::string_view::npos && at < input.size();) {
        const std::size_t next = input.find('\0', at + 1);
        words.emplace_back(
            input.substr(at + 1, next == std::string_view::npos ? next : next - at - 1));
        at = next;
    }
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    const rt::ManagerArguments args =
        rt::parseManagerArguments(static_cast<int>(words.size()), argv.data());
    readAsTheRuntimeDoes(rt::buildManagerConfig(args, &file));
    // The same words as pelorin's own command line splits them.
    const pelorin::ManagerOptionScan own =
        pelorin::scanManagerOptions(static_cast<int>(words.size()), argv.data(), true, "-debug");
    pelorin::fuzz::check(own.end >= 1 && own.end <= static_cast<int>(words.size()),
                         "the program's own arguments start inside the command line");
    return 0;
}
