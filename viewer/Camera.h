// The orbit camera as plain arithmetic, apart from any window or GL call.
//
// Angles are in radians, distances and offsets in model units, drag offsets and window
// positions in GLUT window pixels (x to the right, y downwards). Nothing here is clamped or
// wrapped: the angles, the scale and the shift have no bounds.
#pragma once

#include "scene/Geometry.h"

namespace pelorin {

struct ViewAngles {
    double theta = 0.0;  // polar angle from +Z
    double phi = 0.0;    // azimuth in the XY plane from +X towards +Y
};

// The orthographic box around the view direction, measured from the eye.
struct ViewBox {
    static constexpr double kHalfWidth = 900.0;
    static constexpr double kHalfHeight = 900.0;
    static constexpr double kNear = -2000.0;
    static constexpr double kFar = 4000.0;
};

struct CameraState {
    static constexpr double kInitialTheta = 0.5;
    static constexpr double kInitialScale = 0.5;
    static constexpr double kDistance = 1000.0;
    static constexpr double kZoomFactor = 1.1;

    double viewTheta = kInitialTheta;  // committed angles
    double viewPhi = 0.0;
    int dragDX = 0;  // middle drag in progress, pixels; kDistance pixels make one radian
    int dragDY = 0;
    double viewDistance = kDistance;
    double viewScale = kInitialScale;
    Vec3 viewShift;  // the target point is -viewShift
};

// Committed angles plus the drag in progress: what the frame shows.
ViewAngles currentAngles(const CameraState& camera);
// The point the camera looks at.
Vec3 viewTarget(const CameraState& camera);
// target + distance * (sin θ cos φ, sin θ sin φ, cos θ) with the current angles.
Vec3 eyePosition(const CameraState& camera);
// Eye offset from the target for given angles and distance.
Vec3 eyeOffset(const ViewAngles& angles, double distance);

// The sideways step of one arrow-key press, from the committed angles only:
// cos φ · sin(−θ) · distance. The right arrow adds it to viewShift.x, the left one subtracts it.
double arrowStep(const CameraState& camera);
double zoomedIn(double scale);   // page up: scale × 1.1
double zoomedOut(double scale);  // page down: scale / 1.1

// Drag offsets of a pointer at (x, y) for a press at (pressX, pressY): moving right lowers θ,
// moving down raises φ.
void dragTo(CameraState& camera, int pressX, int pressY, int x, int y);
// Adds the drag to the committed angles and clears it (middle button released).
void commitDrag(CameraState& camera);

// Where a model point lands in a width x height window (GLUT coordinates, pixels from the
// top-left corner) under the camera, the orthographic box and the model scale. Used to check
// frames; undefined when the view direction is parallel to +Y (no sideways axis).
struct WindowPoint {
    double x = 0.0;
    double y = 0.0;
};
WindowPoint projectToWindow(const CameraState& camera, const Vec3& model, int width, int height);

}  // namespace pelorin
