// Which configuration file (rtc.conf) a framework manager reads, found without opening anything
// that could block: the bundled runtime reads the file this names, and Pelorin checks the same
// file before an installed framework's manager opens it.
#pragma once

#include <string>

#include "util/InputFile.h"

namespace pelorin {

struct ManagerConfigFile {
    std::string path;  // the file to read; empty when there is none to read
    // Ok, also when there is no file at all. NotRegularFile: `path` names a FIFO, directory,
    // device or socket, which must not be opened (a FIFO would hold the start until a writer
    // came).
    OpenStatus status = OpenStatus::Ok;
};

// The framework's search order: `optionFile` ("-f"; empty when not given), else `environment`
// ($RTC_MANAGER_CONFIG; null or empty when not set), else ./rtc.conf, /etc/rtc.conf,
// /etc/rtc/rtc.conf, /usr/local/etc/rtc.conf, /usr/local/etc/rtc/rtc.conf. A candidate that does
// not open is passed over; the first that exists ends the search.
ManagerConfigFile findManagerConfigFile(const std::string& optionFile, const char* environment);

}  // namespace pelorin
