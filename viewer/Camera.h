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

// The orthographic box around the view direction, measured from the eye. The window's shorter
// side always sees kHalfExtent world units either side of the centre and the longer side sees
// proportionally more, so a window of any shape shows the scene undistorted. The depth range
// reaches kDepthReach in front of and behind the target (-2000 to 4000 from the eye at the
// camera distance of 1000) unless a fit has widened it to hold the model.
struct ViewBox {
    static constexpr double kHalfExtent = 900.0;
    static constexpr double kDepthReach = 3000.0;
};

struct CameraState {
    static constexpr double kInitialTheta = 0.5;
    static constexpr double kInitialScale = 0.5;
    static constexpr double kDistance = 1000.0;
    static constexpr double kZoomFactor = 1.1;
    // A fitted model's box spans this part of the window's shorter side.
    static constexpr double kFitFraction = 0.8;

    double viewTheta = kInitialTheta;  // committed angles
    double viewPhi = 0.0;
    int dragDX = 0;  // middle drag in progress, pixels; kDistance pixels make one radian
    int dragDY = 0;
    double viewDistance = kDistance;
    double viewScale = kInitialScale;
    Vec3 viewShift;  // the target point is -viewShift

    // The sphere around the box of the last fit, in model units; while `fitted`, the depth range
    // grows to hold it whatever the zoom, turn or shift.
    bool fitted = false;
    Vec3 fittedCentre;
    double fittedRadius = 0.0;
};

// Committed angles plus the drag in progress: what the frame shows.
ViewAngles currentAngles(const CameraState& camera);
// The point the camera looks at.
Vec3 viewTarget(const CameraState& camera);
// target + distance * (sin θ cos φ, sin θ sin φ, cos θ) with the current angles.
Vec3 eyePosition(const CameraState& camera);
// Eye offset from the target for given angles and distance.
Vec3 eyeOffset(const ViewAngles& angles, double distance);
// The up direction the view is placed with (gluLookAt's): +Y, except when the view looks along
// the Y axis, where +Y would leave the picture's turn to rounding; there it is ±Z, the
// direction the views beside it approach from smaller θ, so every angle has one picture.
Vec3 viewUp(const CameraState& camera);

// The sideways step of one arrow-key press, from the committed angles only:
// cos φ · sin(−θ) · distance. The right arrow adds it to viewShift.x, the left one subtracts it.
double arrowStep(const CameraState& camera);
// Page up / wheel up and page down / wheel down: the scale times or divided by 1.1, about the
// middle of the window (the shift grows with the scale, so the target stays where it is on the
// screen). From the start view, whose shift is zero, only the scale changes.
void zoomIn(CameraState& camera);
void zoomOut(CameraState& camera);

// Drag offsets of a pointer at (x, y) for a press at (pressX, pressY): moving right lowers θ,
// moving down raises φ.
void dragTo(CameraState& camera, int pressX, int pressY, int x, int y);
// Adds the drag to the committed angles and clears it (middle button released).
void commitDrag(CameraState& camera);

// The camera turned as `camera` is (drag included), with the scale and shift that make `box`
// (model units, before the scale) span kFitFraction of the window's shorter side, centred, and
// a depth range that holds the whole box. The result does not depend on the window's size. An
// empty box, one with non-finite corners, or one whose scaled view would not be finite leaves
// the camera as it is; a box that shows as a single point is only centred.
CameraState fittedCamera(const CameraState& camera, const Box3& box);

// glOrtho's arguments for a width x height window: the box is symmetric about the view
// direction, from -halfWidth to halfWidth and -halfHeight to halfHeight.
struct ViewVolume {
    double halfWidth = 0.0;
    double halfHeight = 0.0;
    double zNear = 0.0;
    double zFar = 0.0;
};
ViewVolume viewVolume(const CameraState& camera, int width, int height);

// A model point in the camera's frame, in world units: x to the right and y up on the screen from
// the view direction, z the distance in front of the eye (the axis glOrtho's depth range is
// measured along).
Vec3 toViewSpace(const CameraState& camera, const Vec3& model);

// Where a model point lands in a width x height window (GLUT coordinates, pixels from the
// top-left corner) under the camera, the orthographic box and the model scale. Used to check
// frames.
struct WindowPoint {
    double x = 0.0;
    double y = 0.0;
};
WindowPoint projectToWindow(const CameraState& camera, const Vec3& model, int width, int height);

}  // namespace pelorin
