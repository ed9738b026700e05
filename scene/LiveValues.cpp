#include "scene/LiveValues.h"

#include <algorithm>

#include "scene/TransformValue.h"

namespace pelorin {
namespace {

std::uint64_t nextValuesRevision() {
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

}  // namespace

std::size_t applyReceivedValues(const std::vector<TransformValue*>& table, const double* values,
                                std::size_t count, PoseValues& set) {
    const std::size_t taken = std::min(count, table.size());
    for (std::size_t i = 0; i < taken; ++i) {
        const std::size_t slot = table[i]->slot();
        if (slot < set.size()) set[slot] = values[i];
    }
    return taken;
}

LiveValues::LiveValues(PoseValues defaults)
    : current_(std::move(defaults)), size_(current_.size()), revision_(nextValuesRevision()) {}

bool LiveValues::receive(const std::vector<TransformValue*>& table, const double* values,
                         std::size_t count) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (applyReceivedValues(table, values, count, current_) == 0) return false;
    revision_.store(nextValuesRevision(), std::memory_order_release);
    return true;
}

std::uint64_t LiveValues::snapshot(PoseValues& out) const {
    std::lock_guard<std::mutex> lock(mutex_);
    out.assign(current_.begin(), current_.end());
    return revision_.load(std::memory_order_relaxed);
}

}  // namespace pelorin
