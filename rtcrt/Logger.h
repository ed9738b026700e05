// The runtime's log: lines with a time stamp and level, written to the files named by
// logger.file_name ("stdout" and "stderr" name the console streams). Disabled until
// configured, and when logger.enable is NO. Thread-safe.
#pragma once

#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "coil/Properties.h"

namespace pelorin::rtcrt {

enum class LogLevel { Silent, Fatal, Error, Warn, Info, Debug, Trace, Verbose, Paranoid };

// The framework's level names; an unknown name means Silent.
LogLevel parseLogLevel(const std::string& name);

class Logger {
  public:
    static Logger& instance();

    // Reads logger.enable, logger.file_name (with %p the process id) and logger.log_level.
    // Returns the names of files that could not be opened.
    std::vector<std::string> configure(const coil::Properties& config);
    void write(LogLevel level, const std::string& text);
    void close();

  private:
    Logger() = default;
    std::mutex mutex_;
    LogLevel level_ = LogLevel::Silent;
    std::vector<std::FILE*> files_;
    std::vector<bool> owned_;
};

}  // namespace pelorin::rtcrt
