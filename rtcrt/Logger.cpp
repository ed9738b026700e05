#include "rtcrt/Logger.h"

#include <unistd.h>

#include <cctype>
#include <ctime>

#include "rtcrt/ManagerConfig.h"

namespace pelorin::rtcrt {
namespace {

const char* const kLevelNames[] = {"SILENT", "FATAL", "ERROR",   "WARN",    "INFO",
                                   "DEBUG",  "TRACE", "VERBOSE", "PARANOID"};

std::string expandPid(const std::string& pattern) {
    std::string result;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 'p') {
            result += std::to_string(getpid());
            ++i;
        } else {
            result += pattern[i];
        }
    }
    return result;
}

}  // namespace

LogLevel parseLogLevel(const std::string& name) {
    std::string upper;
    for (char c : name) {
        if (c != ' ' && c != '\t')
            upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    for (size_t i = 0; i < sizeof kLevelNames / sizeof kLevelNames[0]; ++i) {
        if (upper == kLevelNames[i]) return static_cast<LogLevel>(i);
    }
    return LogLevel::Silent;
}

Logger& Logger::instance() {
    // Never destroyed: ORB threads may still log while the process exits.
    static Logger* logger = new Logger;
    return *logger;
}

std::vector<std::string> Logger::configure(const coil::Properties& config) {
    close();
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::string> failed;
    if (!isYes(config.getProperty("logger.enable"))) return failed;
    level_ = parseLogLevel(config.getProperty("logger.log_level"));
    if (level_ == LogLevel::Silent) return failed;
    for (const std::string& name : splitCommaList(config.getProperty("logger.file_name"))) {
        if (name == "stdout" || name == "stderr") {
            files_.push_back(name == "stdout" ? stdout : stderr);
            owned_.push_back(false);
            continue;
        }
        std::string path = expandPid(name);
        std::FILE* file = std::fopen(path.c_str(), "a");
        if (file == nullptr) {
            failed.push_back(path);
            continue;
        }
        files_.push_back(file);
        owned_.push_back(true);
    }
    return failed;
}

void Logger::write(LogLevel level, const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (level == LogLevel::Silent || level > level_ || files_.empty()) return;
    char stamp[32];
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%b %d %H:%M:%S", &local);
    const char* levelName = kLevelNames[static_cast<size_t>(level)];
    for (std::FILE* file : files_) {
        std::fprintf(file, "%s %s: manager: %s\n", stamp, levelName, text.c_str());
        std::fflush(file);
    }
}

void Logger::close() {
    std::lock_guard<std::mutex> lock(mutex_);
    for (size_t i = 0; i < files_.size(); ++i) {
        if (owned_[i]) std::fclose(files_[i]);
    }
    files_.clear();
    owned_.clear();
    level_ = LogLevel::Silent;
}

}  // namespace pelorin::rtcrt
