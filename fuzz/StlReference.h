// What the STL reader must make of bytes in memory, worked out the plain way: the whole input
// split into lines and tokens up front, every number through sscanf("%lf") itself, binary
// records decoded byte by byte. The STL fuzz target holds the reader to it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mesh/StlLoadResult.h"
#include "mesh/Triangle.h"

namespace pelorin::fuzz {

struct StlExpectation {
    // False for an input with a line longer than kMaxLineBytes, which the reference leaves to
    // the reader's own tests; nothing below is set then.
    bool modelled = true;
    StlLoadStatus status = StlLoadStatus::Ok;
    bool paddedBinary = false;
    std::uintmax_t expectedSize = 0;  // TruncatedBinary and paddedBinary, as the result has them
    std::uintmax_t actualSize = 0;
    std::vector<Triangle> facets;
    std::optional<std::string> solidName;
};

StlExpectation expectStl(std::string_view bytes);

}  // namespace pelorin::fuzz
