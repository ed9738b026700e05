// Binary STL: an 80-byte header, a little-endian uint32 facet count, then 50 bytes per facet
// (normal and three vertices as little-endian 32-bit floats, then a 16-bit attribute that is
// ignored). A normal the file leaves out is completed as mesh/FacetNormal.h says.
#pragma once

#include <cstddef>
#include <cstdint>

#include "mesh/TriangleArray.h"
#include "scene/Geometry.h"
#include "util/InputFile.h"

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

enum class StlBinaryRead {
    Complete,
    InputEnded,   // fewer facets than `count` were there (the file shrank while it was read)
    OutOfMemory,  // the mesh could not grow; the facets read before stay appended
};

// Room for `count` more facets read by readStlBinaryFacets, taken at once: for a count that the
// input's size backs, so that a big mesh is filled in one mapping that never moves. False, with
// nothing changed, when the memory is not there.
bool reserveStlBinaryFacets(TriangleArray& triangles, std::uint32_t count);

// Reads up to `count` facets from `source`, which stands just after the header, straight into
// the room at the end of `triangles`: the mesh grows a bounded step at a time as records arrive,
// so a count that the input does not back costs no memory. The box around the facets read is
// added to `bounds`, if given, while they are still in the cache.
StlBinaryRead readStlBinaryFacets(ByteSource& source, std::uint32_t count, TriangleArray& triangles,
                                  Box3* bounds = nullptr);

}  // namespace pelorin
