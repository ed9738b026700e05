// The outcome of reading an STL file, for the caller that reports it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pelorin {

enum class StlLoadStatus {
    Ok,
    CannotOpen,       // the file does not open
    NotRegularFile,   // a FIFO, directory, device or socket, refused without reading
    TruncatedBinary,  // binary, but shorter than its facet count says
    LineTooLong,      // ASCII with a line longer than kMaxLineBytes
    OutOfMemory,      // the mesh could not get the memory for its facets
};

// On any status but Ok the mesh is as it was before the read.
struct StlLoadResult {
    StlLoadStatus status = StlLoadStatus::Ok;
    // Ok: a binary file longer than its facets need, read as binary all the same.
    bool paddedBinary = false;
    // TruncatedBinary and paddedBinary: 84 + 50 * count (84 when even the header is cut), and
    // the file's size in bytes.
    std::uintmax_t expectedSize = 0;
    std::uintmax_t actualSize = 0;
    std::size_t line = 0;       // LineTooLong: the line, counted from 1
    std::uintmax_t facets = 0;  // OutOfMemory: the binary count, or the facets of an ASCII file
                                // read before memory ran out
};

}  // namespace pelorin
