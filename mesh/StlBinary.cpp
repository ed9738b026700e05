#include "mesh/StlBinary.h"

#include <algorithm>
#include <cstring>

#include "mesh/FacetBounds.h"
#include "mesh/FacetNormal.h"

namespace pelorin {
namespace {

// Records per read: 200 KB, small enough to stay in the cache while they are compacted.
constexpr std::size_t kFacetsPerRead = 4096;
constexpr std::size_t kFloatsPerFacet = 12;
// A record is a facet and two attribute bytes; this many extra facets of room hold the surplus
// of `facets` records.
std::size_t surplusRoom(std::size_t facets) {
    const std::size_t surplus = facets * (kStlBinaryFacetSize - sizeof(Triangle));
    return (surplus + sizeof(Triangle) - 1) / sizeof(Triangle);
}

std::uint32_t readUint32Le(const unsigned char* p) {
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}

// Turns `count` records that start at `bytes` into facets that start there too, completes their
// normals and adds them to `extent`, all in one pass while the block is in the cache. Each facet
// lands at or before its record and is read whole before it is written.
void layOutRecords(unsigned char* bytes, std::size_t count, FacetExtent& extent) {
    for (std::size_t f = 0; f < count; ++f) {
        const unsigned char* record = bytes + f * kStlBinaryFacetSize;
        Triangle facet;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
        // The floats are already in the machine's order: the facet is the record's first bytes.
        std::memcpy(&facet, record, sizeof facet);
#else
        auto* floats = reinterpret_cast<unsigned char*>(&facet);
        for (std::size_t k = 0; k < kFloatsPerFacet; ++k) {
            const std::uint32_t bits = readUint32Le(record + 4 * k);
            std::memcpy(floats + 4 * k, &bits, sizeof bits);
        }
#endif
        if (!hasUsableNormal(facet)) computeFacetNormal(facet);
        extent.add(facet);
        std::memcpy(bytes + f * sizeof(Triangle), &facet, sizeof facet);
    }
}

}  // namespace

static_assert(sizeof(Triangle) == kFloatsPerFacet * sizeof(float), "a facet is its floats");

std::uint32_t stlBinaryFacetCount(const unsigned char* header) {
    return readUint32Le(header + kStlBinaryCountOffset);
}

bool reserveStlBinaryFacets(TriangleArray& triangles, std::uint32_t count) {
    return triangles.reserve(triangles.size() + count + surplusRoom(kFacetsPerRead));
}

StlBinaryRead readStlBinaryFacets(ByteSource& source, std::uint32_t count, TriangleArray& triangles,
                                  Box3* bounds) {
    FacetExtent extent;
    StlBinaryRead outcome = StlBinaryRead::Complete;
    for (std::size_t left = count; left > 0;) {
        const std::size_t wanted = std::min(left, kFacetsPerRead);
        if (!triangles.reserve(triangles.size() + wanted + surplusRoom(wanted))) {
            outcome = StlBinaryRead::OutOfMemory;
            break;
        }
        auto* room = reinterpret_cast<unsigned char*>(triangles.end());
        const std::size_t got = source.read(room, wanted * kStlBinaryFacetSize);
        const std::size_t facets = got / kStlBinaryFacetSize;  // whole records only
        layOutRecords(room, facets, extent);
        triangles.appendReserved(facets);
        if (facets < wanted) {
            outcome = StlBinaryRead::InputEnded;
            break;
        }
        left -= facets;
    }
    if (bounds != nullptr) bounds->add(extent.box());
    return outcome;
}

}  // namespace pelorin
