#include "mesh/FacetBounds.h"

#include <algorithm>
#include <cmath>

namespace pelorin {

Box3 facetBounds(const Triangle* facets, std::size_t count) {
    // Kept in floats and compared per coordinate: a million facets take a few milliseconds.
    float low[3] = {INFINITY, INFINITY, INFINITY};
    float high[3] = {-INFINITY, -INFINITY, -INFINITY};
    bool any = false;
    for (std::size_t f = 0; f < count; ++f) {
        for (const float* v : facets[f].vertex) {
            if (!std::isfinite(v[0]) || !std::isfinite(v[1]) || !std::isfinite(v[2])) continue;
            any = true;
            for (int k = 0; k < 3; ++k) {
                low[k] = std::min(low[k], v[k]);
                high[k] = std::max(high[k], v[k]);
            }
        }
    }
    Box3 box;
    if (any) {
        box.add(Vec3{low[0], low[1], low[2]});
        box.add(Vec3{high[0], high[1], high[2]});
    }
    return box;
}

}  // namespace pelorin
