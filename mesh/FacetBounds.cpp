#include "mesh/FacetBounds.h"

namespace pelorin {

Box3 FacetExtent::box() const {
    Box3 box;
    if (low_[0] <= high_[0]) {  // some vertex counted
        box.add(Vec3{low_[0], low_[1], low_[2]});
        box.add(Vec3{high_[0], high_[1], high_[2]});
    }
    return box;
}

Box3 facetBounds(const Triangle* facets, std::size_t count) {
    FacetExtent extent;
    for (std::size_t f = 0; f < count; ++f) extent.add(facets[f]);
    return extent.box();
}

}  // namespace pelorin
