// One STL facet: a normal and three vertices, as floats. STL stores floats and GL draws them, so
// a wider type would only cost memory; numbers read as text are converted as "%lf" does and then
// narrowed. The whole mesh takes its object's colour.
#pragma once

namespace pelorin {

struct Triangle {
    float normal[3] = {0.0F, 0.0F, 0.0F};
    float vertex[3][3] = {{0.0F, 0.0F, 0.0F}, {0.0F, 0.0F, 0.0F}, {0.0F, 0.0F, 0.0F}};
};

static_assert(sizeof(Triangle) == 48, "a facet is twelve floats");

}  // namespace pelorin
