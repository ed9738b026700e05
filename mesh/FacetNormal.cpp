#include "mesh/FacetNormal.h"

#include <cmath>

namespace pelorin {

bool hasUsableNormal(const Triangle& facet) {
    const float* n = facet.normal;
    if (!std::isfinite(n[0]) || !std::isfinite(n[1]) || !std::isfinite(n[2])) return false;
    return n[0] != 0.0F || n[1] != 0.0F || n[2] != 0.0F;
}

void computeFacetNormal(Triangle& facet) {
    // In doubles: the differences and products of large float coordinates overflow a float.
    double a[3];
    double b[3];
    for (int k = 0; k < 3; ++k) {
        a[k] = double{facet.vertex[1][k]} - double{facet.vertex[0][k]};
        b[k] = double{facet.vertex[2][k]} - double{facet.vertex[0][k]};
    }
    const double c[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2],
                         a[0] * b[1] - a[1] * b[0]};
    const double length = std::sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]);
    const bool valid = length > 0.0 && std::isfinite(length);
    for (int k = 0; k < 3; ++k) facet.normal[k] = valid ? static_cast<float>(c[k] / length) : 0.0F;
}

}  // namespace pelorin
