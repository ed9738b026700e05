#include "mesh/FacetNormal.h"

#include <cmath>

namespace pelorin {

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
    if (!(length > 0.0) || !std::isfinite(length)) {
        facet.normal[0] = facet.normal[1] = facet.normal[2] = 0.0F;
        return;
    }
    // One division for the three components: a big mesh without stored normals has one per facet.
    const double scale = 1.0 / length;
    for (int k = 0; k < 3; ++k) facet.normal[k] = static_cast<float>(c[k] * scale);
}

}  // namespace pelorin
