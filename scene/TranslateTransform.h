// Translation by (x, y, z) in model units.
#pragma once

#include "scene/TransformElement.h"
#include "scene/TransformValue.h"

namespace pelorin {

struct Offset {
    double x;
    double y;
    double z;
};

class TranslateTransform : public TransformElement {
  public:
    TranslateTransform(double x, double y, double z, std::string name);
    explicit TranslateTransform(std::string name);

    void dump(int indent, MessageStream& out) const override;
    using TransformElement::dump;
    // The move by (x, y, z); it does not look at the enabled flag.
    Matrix4 matrix(const PoseValues& values) const override;
    using TransformElement::matrix;

    // The offset under `values`, and as the file gives it.
    Offset offset(const PoseValues& values) const;
    Offset getOffset() const { return offset(PoseValues{}); }
    TransformValue* xCell() { return &x_; }
    TransformValue* yCell() { return &y_; }
    TransformValue* zCell() { return &z_; }

  private:
    TransformValue x_;
    TransformValue y_;
    TransformValue z_;
};

}  // namespace pelorin
