#include "mesh/StlBinary.h"

#include <algorithm>
#include <cstring>

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

// Turns `count` records that start at `bytes` into facets that start there too. Each facet
// lands at or before its record and every byte is read before it is overwritten.
void compactRecords(unsigned char* bytes, std::size_t count) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    // The floats are already in the machine's order: each facet is its record's first 48 bytes.
    for (std::size_t f = 1; f < count; ++f) {
        std::memmove(bytes + f * sizeof(Triangle), bytes + f * kStlBinaryFacetSize,
                     sizeof(Triangle));
    }
#else
    for (std::size_t f = 0; f < count; ++f) {
        const unsigned char* record = bytes + f * kStlBinaryFacetSize;
        unsigned char* facet = bytes + f * sizeof(Triangle);
        for (std::size_t k = 0; k < kFloatsPerFacet; ++k) {
            const std::uint32_t bits = readUint32Le(record + 4 * k);
            std::memcpy(facet + 4 * k, &bits, sizeof bits);
        }
    }
#endif
}

}  // namespace

static_assert(sizeof(Triangle) == kFloatsPerFacet * sizeof(float), "a facet is its floats");

std::uint32_t stlBinaryFacetCount(const unsigned char* header) {
    return readUint32Le(header + kStlBinaryCountOffset);
}

StlBinaryRead readStlBinaryFacets(ByteSource& source, std::uint32_t count,
                                  TriangleArray& triangles) {
    std::size_t left = count;
    while (left > 0) {
        const std::size_t wanted = std::min(left, kFacetsPerRead);
        if (!triangles.reserve(triangles.size() + wanted + surplusRoom(wanted))) {
            return StlBinaryRead::OutOfMemory;
        }
        auto* room = reinterpret_cast<unsigned char*>(triangles.end());
        const std::size_t got = source.read(room, wanted * kStlBinaryFacetSize);
        const std::size_t facets = got / kStlBinaryFacetSize;  // whole records only
        compactRecords(room, facets);
        // While the facets are still in the cache.
        fillMissingNormals(triangles.end(), facets);
        triangles.appendReserved(facets);
        if (facets < wanted) return StlBinaryRead::InputEnded;
        left -= facets;
    }
    return StlBinaryRead::Complete;
}

}  // namespace pelorin
