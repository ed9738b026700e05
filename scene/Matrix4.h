// 4 x 4 matrices of doubles for placing bodies and meshes in model space.
//
// The elements are stored column by column, as OpenGL's glMultMatrixd and glLoadMatrixd take
// them: element (row r, column c) is m[c * 4 + r]. A matrix acts on column vectors, so in a
// product A * B a point is transformed by B first.
#pragma once

#include <array>

#include "scene/Geometry.h"

namespace pelorin {

enum class Axis { X, Y, Z };

struct Matrix4 {
    std::array<double, 16> m{1.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0,
                             0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.0, 1.0};  // the identity

    double at(int row, int column) const { return m[column * 4 + row]; }
    double& at(int row, int column) { return m[column * 4 + row]; }

    // A turn of `degrees` about the X, Y or Z axis, counter-clockwise when the axis points at
    // the viewer: the matrix that glRotated(degrees, 1, 0, 0) (and so on) multiplies onto the
    // current one. The elements off the turning plane are exactly 0 and 1.
    static Matrix4 rotation(Axis axis, double degrees);
    // A move by (x, y, z) model units, as glTranslated(x, y, z).
    static Matrix4 translation(const Vec3& offset);
};

Matrix4 operator*(const Matrix4& a, const Matrix4& b);
// The point p (w = 1) transformed by m; the w component is dropped (the matrices here are
// affine).
Vec3 transformPoint(const Matrix4& m, const Vec3& p);
// The smallest axis-aligned box that holds `box` transformed by m (its eight corners); empty for
// an empty box. Corners that come out infinite or NaN (from a non-finite value) are left out.
Box3 transformBox(const Matrix4& m, const Box3& box);

}  // namespace pelorin
