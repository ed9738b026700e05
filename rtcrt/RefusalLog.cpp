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
    switch (counter_.refused(now)) {
        case RefusalCounter::Line::First:
            return std::string(messages::kLogPutRefused) + place_ + ": " + reason +
                   std::string(messages::kLogRefusalsCounted);
        case RefusalCounter::Line::Summary:
            return summary(messages::kLogRefusalsPeriod);
        case RefusalCounter::Line::None:
            break;
    }
    return "";
}

std::string RefusalLog::closing() {
    std::lock_guard<std::mutex> lock(mutex_);
    return summary(messages::kLogRefusalsBeforeClose);
}

std::string RefusalLog::summary(std::string_view period) {
    const unsigned long count = counter_.takeUnreported();
    if (count == 0) return "";
    return std::string(messages::kLogRefusedMore) + std::to_string(count) +
           std::string(messages::kLogRefusedMoreOn) + place_ + std::string(period) + lastReason_;
}

}  // namespace pelorin::rtcrt
