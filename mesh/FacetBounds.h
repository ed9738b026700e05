// The extent of a run of facets.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "mesh/Triangle.h"
#include "scene/Geometry.h"

namespace pelorin {

// The extent of facets taken one at a time, in floats: the binary reader bounds each facet as it
// lays it out, while it is in the cache, since a pass of its own over a big mesh costs about as
// much as reading it. Inline for that reason.
class FacetExtent {
  public:
    // Extends the extent by the vertices of `facet`; a vertex with an infinite or NaN coordinate
    // is left out.
    void add(const Triangle& facet) {
        const auto& v = facet.vertex;
        if (!finite(v[0]) || !finite(v[1]) || !finite(v[2])) {
            for (const float* vertex : v) {
                if (finite(vertex)) extend(vertex, vertex);
            }
            return;
        }
        // The three vertices compared among themselves first keeps the running extent off a
        // long chain of dependent comparisons.
        const float low[3] = {lesser(v[0][0], lesser(v[1][0], v[2][0])),
                              lesser(v[0][1], lesser(v[1][1], v[2][1])),
                              lesser(v[0][2], lesser(v[1][2], v[2][2]))};
        const float high[3] = {greater(v[0][0], greater(v[1][0], v[2][0])),
                               greater(v[0][1], greater(v[1][1], v[2][1])),
                               greater(v[0][2], greater(v[1][2], v[2][2]))};
        extend(low, high);
    }
    // The box so far; empty when no vertex counted.
    Box3 box() const;

  private:
    // By value, which compiles to single min and max instructions.
    static float lesser(float a, float b) { return b < a ? b : a; }
    static float greater(float a, float b) { return a < b ? b : a; }

    // A float is not finite when its exponent bits are all set; adding one to such an exponent
    // carries into the sign bit. Integer operations, without a chain between the coordinates.
    static bool finite(const float* xyz) {
        constexpr std::uint32_t kExponent = 0x7F800000U;
        constexpr std::uint32_t kExponentOne = 0x00800000U;
        std::uint32_t bits[3];
        std::memcpy(bits, xyz, sizeof bits);
        const std::uint32_t carries = ((bits[0] & kExponent) + kExponentOne) |
                                      ((bits[1] & kExponent) + kExponentOne) |
                                      ((bits[2] & kExponent) + kExponentOne);
        return (carries & 0x80000000U) == 0;
    }

    void extend(const float* low, const float* high) {
        low_[0] = lesser(low_[0], low[0]);
        low_[1] = lesser(low_[1], low[1]);
        low_[2] = lesser(low_[2], low[2]);
        high_[0] = greater(high_[0], high[0]);
        high_[1] = greater(high_[1], high[1]);
        high_[2] = greater(high_[2], high[2]);
    }

    float low_[3] = {INFINITY, INFINITY, INFINITY};
    float high_[3] = {-INFINITY, -INFINITY, -INFINITY};
};

// The box around the vertices of `count` facets from `facets` (normals play no part); vertices
// with an infinite or NaN coordinate are left out. Empty when no vertex counts.
Box3 facetBounds(const Triangle* facets, std::size_t count);

}  // namespace pelorin
