// The outcome of reading an STL file, for the caller that reports it.
#pragma once

#include <cstdint>

namespace pelorin {

enum class StlLoadStatus {
    Ok,
    CannotOpen,       // the file does not open (or is a directory); nothing changed
    TruncatedBinary,  // plainly binary, but its size does not match its facet count; nothing
                      // changed
};

struct StlLoadResult {
    StlLoadStatus status = StlLoadStatus::Ok;
    std::uintmax_t expectedSize =
        0;  // TruncatedBinary: 84 + 50 * count (84 when even the header is cut)
    std::uintmax_t actualSize = 0;  // TruncatedBinary: the file's size in bytes
};

}  // namespace pelorin
