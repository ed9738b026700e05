#include "mesh/FacetNormal.h"

#include <cmath>
#include <limits>

namespace pelorin {
namespace {

// (v1 - v0) x (v2 - v0) of `facet`, scaled to unit length, worked out in `Real` and written to
// `normal`. False, with `normal` untouched, when the squared length is 0, too small to divide by
// or too large for `Real` (or not a number at all).
template <typename Real>
bool unitCross(const Triangle& facet, float* normal) {
    const auto& v = facet.vertex;
    Real a[3];
    Real b[3];
    for (int k = 0; k < 3; ++k) {
        a[k] = static_cast<Real>(v[1][k]) - static_cast<Real>(v[0][k]);
        b[k] = static_cast<Real>(v[2][k]) - static_cast<Real>(v[0][k]);
    }
    const Real c[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2],
                       a[0] * b[1] - a[1] * b[0]};
    const Real squared = c[0] * c[0] + c[1] * c[1] + c[2] * c[2];
    if (!(squared >= std::numeric_limits<Real>::min()) ||
        !(squared <= std::numeric_limits<Real>::max())) {
        return false;
    }
    // One division for the three components: a big mesh without stored normals has one per facet.
    const Real scale = Real{1} / std::sqrt(squared);
    for (int k = 0; k < 3; ++k) normal[k] = static_cast<float>(c[k] * scale);
    return true;
}

}  // namespace

void computeFacetNormal(Triangle& facet) {
    // Floats serve nearly every facet, and fast; doubles take the facets whose products overflow
    // or underflow a float.
    if (unitCross<float>(facet, facet.normal) || unitCross<double>(facet, facet.normal)) return;
    facet.normal[0] = facet.normal[1] = facet.normal[2] = 0.0F;
}

}  // namespace pelorin
