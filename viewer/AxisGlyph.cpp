#include "viewer/AxisGlyph.h"

#include <GL/gl.h>

namespace pelorin {
namespace {

void drawLine(double r, double g, double b, double x, double y, double z) {
    glColor3d(r, g, b);
    glBegin(GL_LINES);
    glVertex3d(0.0, 0.0, 0.0);
    glVertex3d(x, y, z);
    glEnd();
}

}  // namespace

void AxisGlyph::draw() const {
    if (!visible_) return;
    glDisable(GL_LIGHTING);
    drawLine(1.0, 0.0, 0.0, length_, 0.0, 0.0);
    drawLine(0.0, 1.0, 0.0, 0.0, length_, 0.0);
    drawLine(0.0, 0.0, 1.0, 0.0, 0.0, length_);
    glEnable(GL_LIGHTING);
}

void AxisGlyph::drawAtLength(double length) {
    const double stored = length_;
    length_ = length;
    draw();
    length_ = stored;
}

}  // namespace pelorin
