// The extent of a run of facets.
#pragma once

#include <cstddef>

#include "mesh/Triangle.h"
#include "scene/Geometry.h"

namespace pelorin {

// The box around the vertices of `count` facets from `facets` (normals play no part); vertices
// with an infinite or NaN coordinate are left out. Empty when no vertex counts.
Box3 facetBounds(const Triangle* facets, std::size_t count);

}  // namespace pelorin
