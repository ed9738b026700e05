// One number of a transform element (an angle in degrees or one offset in model units): the
// value the setting file gives it and, when the data port drives it, its slot in a value set.
#pragma once

#include <cstddef>
#include <limits>

#include "scene/PoseValues.h"

namespace pelorin {

// The tree never changes once it is linked, so any thread may read it. Received numbers live in
// value sets (scene/LiveValues.h) that are handed over whole: a pose worked out from one set
// never mixes joints of two received sequences.
class TransformValue {
  public:
    explicit TransformValue(double initial = 0.0) : initial_(initial) {}
    TransformValue(const TransformValue&) = delete;
    TransformValue& operator=(const TransformValue&) = delete;

    // The number under `values`: the entry of its slot when it has one that `values` holds, the
    // file's value otherwise (an undriven number, or a set of another or no model).
    double in(const PoseValues& values) const {
        return slot_ < values.size() ? values[slot_] : initial_;
    }
    double initial() const { return initial_; }
    bool isDriven() const { return slot_ != kNoSlot; }
    std::size_t slot() const { return slot_; }
    // While linking only, before any other thread sees the tree.
    void setSlot(std::size_t slot) { slot_ = slot; }

  private:
    static constexpr std::size_t kNoSlot = std::numeric_limits<std::size_t>::max();

    double initial_;
    std::size_t slot_ = kNoSlot;
};

}  // namespace pelorin
