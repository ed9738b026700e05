// One number of a transform element (an angle in degrees or one offset in model units).
#pragma once

#include <atomic>

namespace pelorin {

// The component thread writes a cell while the viewer thread reads it for drawing. Each cell is
// one relaxed atomic double: a reader sees the old or the new value, never a torn one, and no
// lock is taken. Cells of one received sequence are written one after the other, so a frame may
// combine values of two successive sequences.
class TransformValue {
  public:
    explicit TransformValue(double initial = 0.0) : value_(initial) {}
    TransformValue(const TransformValue&) = delete;
    TransformValue& operator=(const TransformValue&) = delete;

    bool set(double value) {
        value_.store(value, std::memory_order_relaxed);
        return true;
    }
    double get() const { return value_.load(std::memory_order_relaxed); }

  private:
    std::atomic<double> value_;
};

}  // namespace pelorin
