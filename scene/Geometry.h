// Points and boxes in model space, shared by the pose arithmetic and the camera.
#pragma once

#include <algorithm>

namespace pelorin {

struct Vec3 {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

// An axis-aligned box. A default box is empty: it holds no point until one is added.
struct Box3 {
    Vec3 min{1.0, 1.0, 1.0};
    Vec3 max{-1.0, -1.0, -1.0};

    bool empty() const { return min.x > max.x || min.y > max.y || min.z > max.z; }
    void add(const Vec3& p) {
        if (empty()) {
            min = max = p;
            return;
        }
        min = {std::min(min.x, p.x), std::min(min.y, p.y), std::min(min.z, p.z)};
        max = {std::max(max.x, p.x), std::max(max.y, p.y), std::max(max.z, p.z)};
    }
    void add(const Box3& other) {
        if (other.empty()) return;
        add(other.min);
        add(other.max);
    }
};

}  // namespace pelorin
