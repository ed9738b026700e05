// The value set a model is drawn with now, handed from the thread that receives sequences to the
// threads that pose the model.
//
// Each received sequence replaces the set as one whole under a short lock, and a reader copies
// the whole set under the same lock, so a frame is posed from one complete set. Neither side
// allocates once the reader's copy has its size. Revisions are unique in the process: a poser
// that keeps poses by revision never takes one store's set for another's.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "scene/PoseValues.h"

namespace pelorin {

class LiveValues {
  public:
    // Starts with `defaults`, normally the file's values of the model's slots.
    explicit LiveValues(PoseValues defaults);
    LiveValues(const LiveValues&) = delete;
    LiveValues& operator=(const LiveValues&) = delete;

    // One received sequence (see applyReceivedValues), published whole. Returns whether an
    // entry was taken; nothing is published otherwise. Any thread.
    bool receive(const std::vector<TransformValue*>& table, const double* values,
                 std::size_t count);
    // Copies the current set into `out`, reusing its memory, and returns that set's revision.
    // Any thread.
    std::uint64_t snapshot(PoseValues& out) const;
    // The revision of the current set, without the lock. Any thread.
    std::uint64_t revision() const { return revision_.load(std::memory_order_acquire); }
    std::size_t size() const { return size_; }

  private:
    mutable std::mutex mutex_;
    PoseValues current_;
    const std::size_t size_;
    std::atomic<std::uint64_t> revision_;
};

}  // namespace pelorin
