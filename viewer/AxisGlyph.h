// The three coordinate axes as coloured lines from the origin of the current model space:
// X red, Y green, Z blue. Drawn on the viewer thread with its GL context current.
#pragma once

namespace pelorin {

class AxisGlyph {
  public:
    explicit AxisGlyph(double length) : length_(length) {}

    // Lighting is switched off for the lines and on again afterwards. Nothing when hidden.
    void draw() const;
    // Draws at `length` model units whatever length the glyph was made with.
    void drawAtLength(double length);

    double length() const { return length_; }
    bool isVisible() const { return visible_; }
    void setVisible(bool visible) { visible_ = visible; }

  private:
    double length_;
    bool visible_ = true;
};

}  // namespace pelorin
