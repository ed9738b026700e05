#include "viewer/Camera.h"

#include <cmath>

namespace pelorin {
namespace {

Vec3 minus(const Vec3& a, const Vec3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

Vec3 cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

double dot(const Vec3& a, const Vec3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vec3 normalized(const Vec3& v) {
    const double length = std::sqrt(dot(v, v));
    return {v.x / length, v.y / length, v.z / length};
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

Vec3 eyePosition(const CameraState& camera) {
    const Vec3 target = viewTarget(camera);
    const Vec3 offset = eyeOffset(currentAngles(camera), camera.viewDistance);
    return {target.x + offset.x, target.y + offset.y, target.z + offset.z};
}

double arrowStep(const CameraState& camera) {
    return std::cos(camera.viewPhi) * (std::sin(-camera.viewTheta) * camera.viewDistance);
}

double zoomedIn(double scale) {
    return scale * CameraState::kZoomFactor;
}

double zoomedOut(double scale) {
    return scale / CameraState::kZoomFactor;
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

WindowPoint projectToWindow(const CameraState& camera, const Vec3& model, int width, int height) {
    // The same placement as gluLookAt: forward, side = forward x up, true up = side x forward.
    const Vec3 eye = eyePosition(camera);
    const Vec3 forward = normalized(minus(viewTarget(camera), eye));
    const Vec3 side = normalized(cross(forward, Vec3{0.0, 1.0, 0.0}));
    const Vec3 up = cross(side, forward);
    const Vec3 world{model.x * camera.viewScale, model.y * camera.viewScale,
                     model.z * camera.viewScale};
    const Vec3 fromEye = minus(world, eye);
    const double ndcX = dot(fromEye, side) / ViewBox::kHalfWidth;
    const double ndcY = dot(fromEye, up) / ViewBox::kHalfHeight;
    return {(ndcX + 1.0) * 0.5 * width, (1.0 - ndcY) * 0.5 * height};
}

}  // namespace pelorin
