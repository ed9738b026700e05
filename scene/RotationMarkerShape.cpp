#include "scene/RotationMarkerShape.h"

#include <algorithm>
#include <cmath>

#include "scene/RotateTransform.h"

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

// The point of the marker arc at `degrees` around `axis`, `radius` from the origin.
Vec3 markerPoint(int axis, double radius, double degrees) {
    const double c = radius * std::cos(degrees * kMarkerRadiansPerDegree);
    const double s = radius * std::sin(degrees * kMarkerRadiansPerDegree);
    if (axis == RotateTransform::kAxisX) return {0.0, c, s};
    if (axis == RotateTransform::kAxisY) return {c, 0.0, s};
    return {c, s, 0.0};
}

// How many whole steps of `step` degrees start short of `angle` (a step at k * step starts short
// of it when the angle lies beyond k * step).
double stepsBefore(double angle, double step) {
    // Beyond one full turn the earlier steps only retrace the same circle, so only the last turn
    // is drawn: the picture is the same and a huge angle cannot stall the caller. An infinite or
    // NaN angle draws no arc.
    double steps = std::isfinite(angle) ? std::ceil(angle / step) : 0.0;
    // The division may round across a step boundary; settle the count on the exact test.
    const auto beyond = [&](double k) { return step > 0.0 ? angle > k * step : angle < k * step; };
    if (steps > 0.0 && beyond(steps)) steps += 1.0;
    if (steps > 0.0 && !beyond(steps - 1.0)) steps -= 1.0;
    return steps;
}

}  // namespace

std::vector<Vec3> rotationMarkerStrip(int axis, double radius, double angle) {
    std::vector<Vec3> points;
    if (!isDefinedAxis(axis)) return points;
    if (-kMarkerStepDegrees < angle && angle < kMarkerStepDegrees) {
        points.push_back(markerPoint(axis, radius, 0.0));
        points.push_back(markerPoint(axis, radius, angle));
        return points;
    }
    const double step = angle > 0.0 ? kMarkerStepDegrees : -kMarkerStepDegrees;
    const double steps = stepsBefore(angle, step);
    for (double k = std::max(0.0, steps - kMarkerStepsPerTurn); k < steps; k += 1.0) {
        points.push_back(markerPoint(axis, radius, k * step));
        points.push_back(markerPoint(axis, radius, (k + 1.0) * step));
    }
    points.push_back(markerPoint(axis, radius, angle));
    return points;
}

}  // namespace pelorin
