#include "render/TransformMarkers.h"

#include <GL/gl.h>

#include "scene/RotateTransform.h"
#include "scene/RotationMarkerShape.h"
#include "scene/TranslateTransform.h"

namespace pelorin {
namespace {

struct Rgb {
    double r;
    double g;
    double b;
};

constexpr Rgb kWhite{1.0, 1.0, 1.0};
constexpr Rgb kRed{1.0, 0.0, 0.0};
constexpr Rgb kGreen{0.0, 1.0, 0.0};
constexpr Rgb kBlue{0.0, 0.0, 1.0};

Rgb axisColour(int axis) {
    if (axis == RotateTransform::kAxisX) return kRed;
    if (axis == RotateTransform::kAxisY) return kGreen;
    return kBlue;
}

void segment(const Rgb& colour, const Vec3& from, const Vec3& to) {
    glBegin(GL_LINES);
    glColor3d(colour.r, colour.g, colour.b);
    glVertex3d(from.x, from.y, from.z);
    glVertex3d(to.x, to.y, to.z);
    glEnd();
}

}  // namespace

void drawRotationMarker(const RotateTransform& rotation, const PoseValues& values) {
    drawRotationMarker(rotation, rotation.markerRadius(), values);
}

void drawRotationMarker(const RotateTransform& rotation, double radius, const PoseValues& values) {
    const int axis = rotation.getAxis();
    const auto strip = rotationMarkerStrip(axis, radius, rotation.angle(values));
    glDisable(GL_LIGHTING);
    if (!strip.empty()) {
        const Rgb colour = axisColour(axis);
        glColor3d(colour.r, colour.g, colour.b);
        glBegin(GL_LINE_STRIP);
        for (const Vec3& p : strip) glVertex3d(p.x, p.y, p.z);
        glEnd();
    }
    glEnable(GL_LIGHTING);
}

void drawTranslationMarker(const TranslateTransform& translation, const PoseValues& values) {
    if (!translation.isMarkerVisible()) return;
    const Offset o = translation.offset(values);
    const Vec3 origin{};
    glDisable(GL_LIGHTING);
    segment(kWhite, origin, {o.x, o.y, o.z});
    segment(kRed, origin, {o.x, 0.0, 0.0});
    segment(kGreen, {o.x, 0.0, 0.0}, {o.x, o.y, 0.0});
    segment(kBlue, {o.x, o.y, 0.0}, {o.x, o.y, o.z});
    glEnable(GL_LIGHTING);
}

void drawTransformMarker(const TransformElement& element, const PoseValues& values) {
    if (const auto* rotation = dynamic_cast<const RotateTransform*>(&element)) {
        drawRotationMarker(*rotation, values);
    } else if (const auto* translation = dynamic_cast<const TranslateTransform*>(&element)) {
        drawTranslationMarker(*translation, values);
    }
}

}  // namespace pelorin
