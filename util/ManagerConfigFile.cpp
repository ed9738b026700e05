#include "util/ManagerConfigFile.h"

namespace pelorin {
namespace {

const char* const kSystemConfigFiles[] = {
    "./rtc.conf",
    "/etc/rtc.conf",
    "/etc/rtc/rtc.conf",
    "/usr/local/etc/rtc.conf",
    "/usr/local/etc/rtc/rtc.conf",
};

// True when the search ends at `candidate`, found or refused.
bool endsSearch(const std::string& candidate, ManagerConfigFile& found) {
    if (candidate.empty()) return false;
    const OpenStatus status = checkInputFile(candidate);
    if (status == OpenStatus::CannotOpen) return false;
    found.path = candidate;
    found.status = status;
    return true;
}

}  // namespace

ManagerConfigFile findManagerConfigFile(const std::string& optionFile, const char* environment) {
    ManagerConfigFile found;
    if (endsSearch(optionFile, found)) return found;
    if (environment != nullptr && endsSearch(environment, found)) return found;
    for (const char* candidate : kSystemConfigFiles) {
        if (endsSearch(candidate, found)) return found;
    }
    return found;
}

}  // namespace pelorin
