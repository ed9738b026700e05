// Rotation about the X, Y or Z axis by an angle in degrees.
#pragma once

#include "scene/TransformElement.h"
#include "scene/TransformValue.h"

namespace pelorin {

class RotateTransform : public TransformElement {
  public:
    static constexpr int kAxisX = 1;
    static constexpr int kAxisY = 2;
    static constexpr int kAxisZ = 3;
    static constexpr double kDefaultMarkerRadius = 10.0;

    RotateTransform(int axis, double angleDegrees, std::string name);
    RotateTransform(int axis, std::string name);
    explicit RotateTransform(std::string name);

    void dump(int indent, MessageStream& out) const override;
    using TransformElement::dump;
    // The turn about the axis by the angle in degrees (negated when inverted); the identity when
    // disabled or when the axis code is not 1, 2 or 3.
    Matrix4 matrix(const PoseValues& values) const override;
    using TransformElement::matrix;

    // The angle in degrees under `values`, and as the file gives it.
    double angle(const PoseValues& values) const { return angle_.in(values); }
    double getAngle() const { return angle_.initial(); }
    int getAxis() const { return axis_; }
    // Radius of the marker arc in model units.
    double markerRadius() const { return markerRadius_; }
    // The number the data port drives (the value table refers to it).
    TransformValue* angleCell() { return &angle_; }

    // 'X', 'Y', 'Z' for 1, 2, 3 and '@' for any other code.
    static char axisLetter(int axis);

  private:
    TransformValue angle_;
    int axis_;
    double markerRadius_ = kDefaultMarkerRadius;
};

}  // namespace pelorin
