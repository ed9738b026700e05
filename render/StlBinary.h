// Binary STL: an 80-byte header, a little-endian uint32 facet count, then 50 bytes per facet
// (normal and three vertices as little-endian 32-bit floats, then a 16-bit attribute that is
// ignored). A file is binary exactly when its size is 84 + 50 * count, whatever its header says:
// many exporters begin the header with "solid".
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "render/Triangle.h"

namespace pelorin {

inline constexpr std::size_t kStlBinaryHeaderSize = 84;
inline constexpr std::size_t kStlBinaryCountOffset = 80;
inline constexpr std::size_t kStlBinaryFacetSize = 50;

// The facet count stored in a header of at least kStlBinaryHeaderSize bytes.
std::uint32_t stlBinaryFacetCount(const unsigned char* header);

// The file size a binary STL with `count` facets has.
inline std::uintmax_t stlBinarySize(std::uint32_t count) {
    return kStlBinaryHeaderSize + std::uintmax_t{kStlBinaryFacetSize} * count;
}

// Appends `count` facets read from `bytes` (count * kStlBinaryFacetSize bytes) to `triangles`.
void decodeStlBinaryFacets(const unsigned char* bytes, std::size_t count,
                           std::vector<Triangle>& triangles);

}  // namespace pelorin
