#include "scene/Matrix4.h"

#include <cmath>

namespace pelorin {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRadiansPerDegree = kPi / 180.0;

bool isFinite(const Vec3& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

}  // namespace

Matrix4 Matrix4::rotation(Axis axis, double degrees) {
    const double radians = degrees * kRadiansPerDegree;
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    // The two axes of the turning plane, in the order that makes the turn counter-clockwise.
    const int u = axis == Axis::X ? 1 : axis == Axis::Y ? 2 : 0;
    const int v = axis == Axis::X ? 2 : axis == Axis::Y ? 0 : 1;
    Matrix4 r;
    r.at(u, u) = c;
    r.at(u, v) = -s;
    r.at(v, u) = s;
    r.at(v, v) = c;
    return r;
}

Matrix4 Matrix4::translation(const Vec3& offset) {
    Matrix4 t;
    t.at(0, 3) = offset.x;
    t.at(1, 3) = offset.y;
    t.at(2, 3) = offset.z;
    return t;
}

Matrix4 operator*(const Matrix4& a, const Matrix4& b) {
    Matrix4 product;
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) sum += a.at(row, k) * b.at(k, column);
            product.at(row, column) = sum;
        }
    }
    return product;
}

Vec3 transformPoint(const Matrix4& m, const Vec3& p) {
    return {m.at(0, 0) * p.x + m.at(0, 1) * p.y + m.at(0, 2) * p.z + m.at(0, 3),
            m.at(1, 0) * p.x + m.at(1, 1) * p.y + m.at(1, 2) * p.z + m.at(1, 3),
            m.at(2, 0) * p.x + m.at(2, 1) * p.y + m.at(2, 2) * p.z + m.at(2, 3)};
}

Box3 transformBox(const Matrix4& m, const Box3& box) {
    Box3 result;
    if (box.empty()) return result;
    for (int corner = 0; corner < 8; ++corner) {
        const Vec3 p{(corner & 1) != 0 ? box.max.x : box.min.x,
                     (corner & 2) != 0 ? box.max.y : box.min.y,
                     (corner & 4) != 0 ? box.max.z : box.min.z};
        const Vec3 moved = transformPoint(m, p);
        if (isFinite(moved)) result.add(moved);
    }
    return result;
}

}  // namespace pelorin
