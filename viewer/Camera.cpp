#include "viewer/Camera.h"

#include <algorithm>
#include <cmath>

namespace pelorin {
namespace {

// The depth range of a fit keeps this much room beyond the model's sphere, so rounding in the
// projection never shaves a vertex that lies on it.
constexpr double kDepthMargin = 1.02;

Vec3 plus(const Vec3& a, const Vec3& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

Vec3 minus(const Vec3& a, const Vec3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

Vec3 times(double k, const Vec3& v) {
    return {k * v.x, k * v.y, k * v.z};
}

Vec3 cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

double dot(const Vec3& a, const Vec3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

double length(const Vec3& v) {
    return std::sqrt(dot(v, v));
}

Vec3 normalized(const Vec3& v) {
    const double l = length(v);
    return {v.x / l, v.y / l, v.z / l};
}

// Below this sine of the angle between the view direction and +Y, +Y gives the picture no
// sideways axis: rounding alone would choose it.
constexpr double kParallelToUp = 1e-6;

bool isFinite(const Vec3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// The screen's axes in world space, placed as gluLookAt places them: forward, side = forward x
// up, true up = side x forward.
struct ViewBasis {
    Vec3 side;
    Vec3 up;
    Vec3 forward;
};

ViewBasis viewBasis(const CameraState& camera) {
    const Vec3 forward = normalized(minus(viewTarget(camera), eyePosition(camera)));
    const Vec3 side = normalized(cross(forward, viewUp(camera)));
    return {side, cross(side, forward), forward};
}

// Half the extent of a box of half-size `half` along the unit direction `axis`.
double halfExtentAlong(const Vec3& half, const Vec3& axis) {
    return std::abs(half.x * axis.x) + std::abs(half.y * axis.y) + std::abs(half.z * axis.z);
}

double depthReach(const CameraState& camera) {
    if (!camera.fitted) return ViewBox::kDepthReach;
    const Vec3 centre = times(camera.viewScale, camera.fittedCentre);
    const double reach = length(minus(centre, viewTarget(camera))) +
                         std::abs(camera.viewScale) * camera.fittedRadius;
    return std::max(ViewBox::kDepthReach, reach * kDepthMargin);
}

void zoomBy(CameraState& camera, double factor) {
    camera.viewScale *= factor;
    camera.viewShift = times(factor, camera.viewShift);
}

}  // namespace

ViewAngles currentAngles(const CameraState& camera) {
    return {camera.viewTheta + static_cast<double>(camera.dragDX) / camera.viewDistance,
            camera.viewPhi + static_cast<double>(camera.dragDY) / camera.viewDistance};
}

Vec3 viewTarget(const CameraState& camera) {
    return {-camera.viewShift.x, -camera.viewShift.y, -camera.viewShift.z};
}

Vec3 eyeOffset(const ViewAngles& angles, double distance) {
    return {distance * std::sin(angles.theta) * std::cos(angles.phi),
            distance * std::sin(angles.theta) * std::sin(angles.phi),
            distance * std::cos(angles.theta)};
}

Vec3 viewUp(const CameraState& camera) {
    const Vec3 forward = times(-1.0, eyeOffset(currentAngles(camera), 1.0));
    const Vec3 up{0.0, 1.0, 0.0};
    if (length(cross(forward, up)) >= kParallelToUp) return up;
    // The up direction the views just short of the Y axis (smaller θ) approach.
    return {0.0, 0.0, forward.y > 0.0 ? 1.0 : -1.0};
}

Vec3 eyePosition(const CameraState& camera) {
    return plus(viewTarget(camera), eyeOffset(currentAngles(camera), camera.viewDistance));
}

double arrowStep(const CameraState& camera) {
    return std::cos(camera.viewPhi) * (std::sin(-camera.viewTheta) * camera.viewDistance);
}

void zoomIn(CameraState& camera) {
    zoomBy(camera, CameraState::kZoomFactor);
}

void zoomOut(CameraState& camera) {
    zoomBy(camera, 1.0 / CameraState::kZoomFactor);
}

void dragTo(CameraState& camera, int pressX, int pressY, int x, int y) {
    camera.dragDX = pressX - x;
    camera.dragDY = y - pressY;
}

void commitDrag(CameraState& camera) {
    const ViewAngles angles = currentAngles(camera);
    camera.viewTheta = angles.theta;
    camera.viewPhi = angles.phi;
    camera.dragDX = 0;
    camera.dragDY = 0;
}

CameraState fittedCamera(const CameraState& camera, const Box3& box) {
    if (box.empty() || !isFinite(box.min) || !isFinite(box.max)) return camera;
    const Vec3 centre = times(0.5, plus(box.min, box.max));
    const Vec3 half = times(0.5, minus(box.max, box.min));
    // The turn does not depend on the target, so the basis of the current camera serves.
    const ViewBasis basis = viewBasis(camera);
    const double halfShown =
        std::max(halfExtentAlong(half, basis.side), halfExtentAlong(half, basis.up));
    CameraState fitted = camera;
    if (halfShown > 0.0)
        fitted.viewScale = CameraState::kFitFraction * ViewBox::kHalfExtent / halfShown;
    fitted.viewShift = times(-fitted.viewScale, centre);
    fitted.fitted = true;
    fitted.fittedCentre = centre;
    fitted.fittedRadius = length(half);
    const bool usable = std::isfinite(fitted.viewScale) && fitted.viewScale > 0.0 &&
                        isFinite(fitted.viewShift) && std::isfinite(depthReach(fitted));
    return usable ? fitted : camera;
}

ViewVolume viewVolume(const CameraState& camera, int width, int height) {
    ViewVolume volume;
    volume.halfWidth = ViewBox::kHalfExtent;
    volume.halfHeight = ViewBox::kHalfExtent;
    if (width > height && height > 0) {
        volume.halfWidth *= static_cast<double>(width) / height;
    } else if (height > width && width > 0) {
        volume.halfHeight *= static_cast<double>(height) / width;
    }
    const double reach = depthReach(camera);
    volume.zNear = camera.viewDistance - reach;
    volume.zFar = camera.viewDistance + reach;
    return volume;
}

Vec3 toViewSpace(const CameraState& camera, const Vec3& model) {
    const ViewBasis basis = viewBasis(camera);
    const Vec3 fromEye = minus(times(camera.viewScale, model), eyePosition(camera));
    return {dot(fromEye, basis.side), dot(fromEye, basis.up), dot(fromEye, basis.forward)};
}

WindowPoint projectToWindow(const CameraState& camera, const Vec3& model, int width, int height) {
    const ViewVolume volume = viewVolume(camera, width, height);
    const Vec3 view = toViewSpace(camera, model);
    const double ndcX = view.x / volume.halfWidth;
    const double ndcY = view.y / volume.halfHeight;
    return {(ndcX + 1.0) * 0.5 * width, (1.0 - ndcY) * 0.5 * height};
}

}  // namespace pelorin
