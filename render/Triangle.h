// One STL facet: a normal, three vertices and a colour.
#pragma once

namespace pelorin {

struct Triangle {
    double normal[3] = {0.0, 0.0, 0.0};
    double vertex[3][3] = {{0.0, 0.0, 0.0}, {0.0, 0.0, 0.0}, {0.0, 0.0, 0.0}};
    float color[3] = {1.0F, 1.0F, 1.0F};
};

}  // namespace pelorin
