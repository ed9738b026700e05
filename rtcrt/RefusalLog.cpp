#include "rtcrt/RefusalLog.h"

#include "rtcrt/RtcMessages.h"

namespace pelorin::rtcrt {

void RefusalLog::setPlace(const std::string& place) {
    std::lock_guard<std::mutex> lock(mutex_);
    place_ = place;
}

std::string RefusalLog::refused(const std::string& reason, Clock::time_point now) {
    std::lock_guard<std::mutex> lock(mutex_);
    lastReason_ = reason;
    if (!reported_) {
        reported_ = true;
        lastLine_ = now;
        return std::string(messages::kLogPutRefused) + place_ + ": " + reason +
               std::string(messages::kLogRefusalsCounted);
    }
    ++unreported_;
    if (now - lastLine_ < kSummaryPeriod) return "";
    lastLine_ = now;
    return summary(messages::kLogRefusalsPeriod);
}

std::string RefusalLog::closing() {
    std::lock_guard<std::mutex> lock(mutex_);
    return unreported_ == 0 ? "" : summary(messages::kLogRefusalsBeforeClose);
}

std::string RefusalLog::summary(std::string_view period) {
    std::string line = std::string(messages::kLogRefusedMore) + std::to_string(unreported_) +
                       std::string(messages::kLogRefusedMoreOn) + place_ + std::string(period) +
                       lastReason_;
    unreported_ = 0;
    return line;
}

}  // namespace pelorin::rtcrt
