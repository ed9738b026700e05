// Facet normals that a file leaves to the reader.
//
// Many binary STL exporters store 0,0,0 as every normal and expect the reader to work it out
// from the vertex order, and a damaged file may hold infinities or NaNs there. Handed to GL as
// they are, such normals light the facet black. A stored normal that is not finite or is zero
// is therefore replaced by the facet's own: (v1 - v0) x (v2 - v0), normalised (the right-hand
// rule, so counter-clockwise vertices face the viewer). A facet without area or with a vertex
// that is not finite has no normal of its own and gets 0,0,0. Any other stored normal is kept
// as it is, even when it is not of unit length.
#pragma once

#include "mesh/Triangle.h"

namespace pelorin {

// Whether the stored normal of `facet` is kept. Inline, as it runs for every facet read.
inline bool hasUsableNormal(const Triangle& facet) {
    const float* n = facet.normal;
    // n * 0 is 0 for a finite n and NaN otherwise: one test for all three.
    const bool finite = n[0] * 0.0F + n[1] * 0.0F + n[2] * 0.0F == 0.0F;
    return finite && (n[0] != 0.0F || n[1] != 0.0F || n[2] != 0.0F);
}

// The facet's normal from its vertices, as described above, written to its normal.
void computeFacetNormal(Triangle& facet);

}  // namespace pelorin
