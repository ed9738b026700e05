#include "util/RefusalLog.h"

namespace pelorin {

RefusalLog::Report RefusalLog::refused(const std::string& connection, const std::string& reason,
                                       Clock::time_point now) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = connections_.begin(); it != connections_.end();) {
        it = it->second.counter.quiet(now) ? connections_.erase(it) : std::next(it);
    }
    Connection& refusals = connections_.try_emplace(connection, period_).first->second;
    refusals.latestReason = reason;
    Report report;
    report.line = refusals.counter.refused(now);
    if (report.line == Line::Summary) {
        report.count = refusals.counter.takeUnreported();
        report.latestReason = reason;
    }
    return report;
}

RefusalLog::Report RefusalLog::closing(const std::string& connection) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = connections_.find(connection);
    if (found == connections_.end()) return {};
    Report report;
    report.count = found->second.counter.takeUnreported();
    if (report.count > 0) {
        report.line = Line::Summary;
        report.latestReason = found->second.latestReason;
    }
    connections_.erase(found);
    return report;
}

}  // namespace pelorin
