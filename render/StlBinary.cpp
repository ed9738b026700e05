#include "render/StlBinary.h"

#include <cstring>

namespace pelorin {
namespace {

std::uint32_t readUint32Le(const unsigned char* p) {
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}

float readFloatLe(const unsigned char* p) {
    const std::uint32_t bits = readUint32Le(p);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void readVector(const unsigned char* p, float* xyz) {
    for (std::size_t k = 0; k < 3; ++k) xyz[k] = readFloatLe(p + 4 * k);
}

constexpr std::size_t kVectorSize = 12;

}  // namespace

std::uint32_t stlBinaryFacetCount(const unsigned char* header) {
    return readUint32Le(header + kStlBinaryCountOffset);
}

void decodeStlBinaryFacets(const unsigned char* bytes, std::size_t count,
                           std::vector<Triangle>& triangles) {
    for (std::size_t f = 0; f < count; ++f) {
        const unsigned char* facet = bytes + f * kStlBinaryFacetSize;
        Triangle& t = triangles.emplace_back();
        readVector(facet, t.normal);
        for (int v = 0; v < 3; ++v) readVector(facet + kVectorSize * (v + 1), t.vertex[v]);
    }
}

}  // namespace pelorin
