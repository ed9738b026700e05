// The numbers a linked tree is posed with: entry k is the value of slot k (a driven angle or
// offset; scene/TransformValue.h). A set whose size differs from the model's poses the numbers
// it does not hold with the file's values.
#pragma once

#include <cstddef>
#include <vector>

namespace pelorin {

class TransformValue;

using PoseValues = std::vector<double>;

// Writes values[i] into the slot of table[i], in ascending order, for
// i < min(count, table.size()) (when two entries share a slot, the later index wins); slots
// that `set` does not hold are skipped. Returns how many entries were taken.
std::size_t applyReceivedValues(const std::vector<TransformValue*>& table, const double* values,
                                std::size_t count, PoseValues& set);

}  // namespace pelorin
