#include "scene/RotateTransform.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "scene/SceneMessages.h"
#include "util/MessageStream.h"
#include "util/TextHelpers.h"

namespace pelorin {
namespace {

// The marker's degree-to-radian factor takes pi as 3.14 on purpose: the arc it draws is a
// picture of the angle, and existing screenshots and tests of the marker rely on these points.
constexpr double kMarkerRadiansPerDegree = 3.14 / 180.0;
// The arc is drawn in steps of this many degrees.
constexpr double kMarkerStepDegrees = 10.0;
constexpr double kMarkerStepsPerTurn = 36.0;

bool isDefinedAxis(int axis) {
    return axis == RotateTransform::kAxisX || axis == RotateTransform::kAxisY ||
           axis == RotateTransform::kAxisZ;
}

// One vertex of the marker arc at `degrees` around `axis`, `radius` from the origin.
void markerVertex(int axis, double radius, double degrees) {
    const double c = radius * std::cos(degrees * kMarkerRadiansPerDegree);
    const double s = radius * std::sin(degrees * kMarkerRadiansPerDegree);
    if (axis == RotateTransform::kAxisX) {
        glVertex3d(0.0, c, s);
    } else if (axis == RotateTransform::kAxisY) {
        glVertex3d(c, 0.0, s);
    } else {
        glVertex3d(c, s, 0.0);
    }
}

void markerColor(int axis) {
    if (axis == RotateTransform::kAxisX) {
        glColor3d(1.0, 0.0, 0.0);
    } else if (axis == RotateTransform::kAxisY) {
        glColor3d(0.0, 1.0, 0.0);
    } else {
        glColor3d(0.0, 0.0, 1.0);
    }
}

// The strip of the marker. Small angles get a single chord; larger ones an arc in 10-degree
// steps that may overshoot the angle by less than a step before returning to it. Negative angles
// of -10 degrees or less are drawn the same way towards the negative side.
void markerStrip(int axis, double radius, double angle) {
    if (-kMarkerStepDegrees < angle && angle < kMarkerStepDegrees) {
        markerVertex(axis, radius, 0.0);
        markerVertex(axis, radius, angle);
        return;
    }
    const double step = angle > 0.0 ? kMarkerStepDegrees : -kMarkerStepDegrees;
    // Steps whose start e = k * step still lies short of the angle. Beyond one full turn the
    // earlier steps only retrace the same circle, so only the last turn is drawn: the picture is
    // the same and a huge angle cannot stall the frame. An infinite or NaN angle draws no arc.
    double steps = std::isfinite(angle) ? std::ceil(angle / step) : 0.0;
    // The division may round across a step boundary; settle the count on the exact test
    // "angle lies beyond the step's start".
    const auto beyond = [&](double k) { return step > 0.0 ? angle > k * step : angle < k * step; };
    if (steps > 0.0 && beyond(steps)) steps += 1.0;
    if (steps > 0.0 && !beyond(steps - 1.0)) steps -= 1.0;
    for (double k = std::max(0.0, steps - kMarkerStepsPerTurn); k < steps; k += 1.0) {
        markerVertex(axis, radius, k * step);
        markerVertex(axis, radius, (k + 1.0) * step);
    }
    markerVertex(axis, radius, angle);
}

}  // namespace

RotateTransform::RotateTransform(int axis, double angleDegrees, std::string name)
    : TransformElement(std::move(name)), angle_(angleDegrees), axis_(axis) {}

RotateTransform::RotateTransform(int axis, std::string name)
    : RotateTransform(axis, 0.0, std::move(name)) {}

RotateTransform::RotateTransform(std::string name) : RotateTransform(0, 0.0, std::move(name)) {}

void RotateTransform::apply() const {
    if (!isEnabled()) return;
    const double a = isInverted() ? -angle_.get() : angle_.get();
    switch (axis_) {
        case kAxisX:
            glRotated(a, 1.0, 0.0, 0.0);
            break;
        case kAxisY:
            glRotated(a, 0.0, 1.0, 0.0);
            break;
        case kAxisZ:
            glRotated(a, 0.0, 0.0, 1.0);
            break;
        default:
            break;
    }
}

void RotateTransform::drawMarker() const {
    glDisable(GL_LIGHTING);
    if (isDefinedAxis(axis_)) {
        markerColor(axis_);
        glBegin(GL_LINE_STRIP);
        markerStrip(axis_, markerRadius_, angle_.get());
        glEnd();
    }
    glEnable(GL_LIGHTING);
}

void RotateTransform::drawMarker(double radius) {
    const double saved = markerRadius_;
    markerRadius_ = radius;
    drawMarker();
    markerRadius_ = saved;
}

char RotateTransform::axisLetter(int axis) {
    switch (axis) {
        case kAxisX:
            return 'X';
        case kAxisY:
            return 'Y';
        case kAxisZ:
            return 'Z';
        default:
            return '@';
    }
}

void RotateTransform::dump(int indent, MessageStream& out) const {
    const std::string pad = repeatChar(indent, ' ');
    const std::string inner = repeatChar(indent + 2, ' ');
    out.raw(pad).msg(scene_text::kRotateTransform).endl();
    out.raw(inner).msg(scene_text::kName).raw(getName()).endl();
    out.raw(inner).msg(isEnabled() ? scene_text::kEnabledWithPeriod
                                   : scene_text::kDisabledWithPeriod);
    const char* axisText = scene_text::kAxisUndefined;
    if (axis_ == kAxisX) axisText = scene_text::kAxisX;
    if (axis_ == kAxisY) axisText = scene_text::kAxisY;
    if (axis_ == kAxisZ) axisText = scene_text::kAxisZ;
    out.raw(inner).msg(axisText);
    out.raw(inner).msg(scene_text::kRotationAngle) << angle_.get();
    out.msg(scene_text::kAngleEnd);
    out.flush();
}

}  // namespace pelorin
