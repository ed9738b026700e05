#include "viewer/Camera.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace pelorin {
namespace {

constexpr double kTolerance = 1e-9;

TEST(CameraTest, InitialEyeStandsOnTheXzArcHalfARadianFromZ) {
    const CameraState camera;
    const Vec3 eye = eyePosition(camera);
    EXPECT_NEAR(eye.x, 479.425538604203, 1e-9);
    EXPECT_NEAR(eye.y, 0.0, kTolerance);
    EXPECT_NEAR(eye.z, 877.582561890373, 1e-9);
    // The eye stays at the camera distance from the target whatever the angles.
    CameraState turned;
    turned.viewTheta = 2.3;
    turned.viewPhi = -1.1;
    turned.viewShift = {12.0, 0.0, 0.0};
    const Vec3 e = eyePosition(turned);
    const Vec3 t = viewTarget(turned);
    EXPECT_NEAR(std::hypot(e.x - t.x, e.y - t.y, e.z - t.z), CameraState::kDistance, 1e-9);
}

TEST(CameraTest, ZoomStepsByATenthAboutTheMiddleOfTheWindow) {
    CameraState camera;
    for (int i = 0; i < 10; ++i) zoomIn(camera);
    EXPECT_NEAR(camera.viewScale, 0.5 * std::pow(1.1, 10), 1e-12);
    EXPECT_NEAR(camera.viewScale, 1.2969, 1e-4);
    EXPECT_EQ(camera.viewShift.x, 0.0);  // from the start view only the scale changes
    for (int i = 0; i < 10; ++i) zoomOut(camera);
    EXPECT_NEAR(camera.viewScale, 0.5, 1e-12);

    // After a shift, the model point in the middle of the window stays there.
    camera.viewShift = {-300.0, 40.0, 0.0};
    const Vec3 middle{600.0, -80.0, 0.0};  // -viewShift / viewScale
    for (int i = 0; i < 3; ++i) zoomIn(camera);
    const WindowPoint shown = projectToWindow(camera, middle, 800, 800);
    EXPECT_NEAR(shown.x, 400.0, 1e-9);
    EXPECT_NEAR(shown.y, 400.0, 1e-9);
}

TEST(CameraTest, DragTurnsTheViewUntilCommitted) {
    CameraState camera;
    dragTo(camera, 400, 400, 300, 450);
    EXPECT_EQ(camera.dragDX, 100);
    EXPECT_EQ(camera.dragDY, 50);
    const ViewAngles shown = currentAngles(camera);
    EXPECT_NEAR(shown.theta, 0.6, kTolerance);
    EXPECT_NEAR(shown.phi, 0.05, kTolerance);
    EXPECT_DOUBLE_EQ(camera.viewTheta, 0.5);                        // not committed yet
    EXPECT_DOUBLE_EQ(arrowStep(camera), arrowStep(CameraState{}));  // nor the arrow keys' step
    commitDrag(camera);
    EXPECT_NEAR(camera.viewTheta, 0.6, kTolerance);
    EXPECT_NEAR(camera.viewPhi, 0.05, kTolerance);
    EXPECT_EQ(camera.dragDX, 0);
    EXPECT_EQ(camera.dragDY, 0);
    // Committing again without a drag changes nothing.
    const CameraState before = camera;
    commitDrag(camera);
    EXPECT_DOUBLE_EQ(camera.viewTheta, before.viewTheta);
    EXPECT_DOUBLE_EQ(camera.viewPhi, before.viewPhi);
}

TEST(CameraTest, ProjectionPutsTheTargetMidWindowAndKeepsYUp) {
    CameraState camera;
    const WindowPoint centre = projectToWindow(camera, {0.0, 0.0, 0.0}, 800, 800);
    EXPECT_NEAR(centre.x, 400.0, 1e-9);
    EXPECT_NEAR(centre.y, 400.0, 1e-9);
    // 900 world units from the centre reach the window's edge; the model is scaled first.
    const WindowPoint up = projectToWindow(camera, {0.0, 1800.0, 0.0}, 800, 800);
    EXPECT_NEAR(up.x, 400.0, 1e-9);
    EXPECT_NEAR(up.y, 0.0, 1e-9);
    // +X leans to the right for the initial eye; a shift moves the target to mid-window.
    EXPECT_GT(projectToWindow(camera, {500.0, 0.0, 0.0}, 800, 800).x, 400.0);
    camera.viewShift.x = -200.0;
    const WindowPoint target = projectToWindow(camera, {400.0, 0.0, 0.0}, 800, 800);
    EXPECT_NEAR(target.x, 400.0, 1e-9);
}

TEST(CameraTest, ViewBoxKeepsItsShapeOnNonSquareWindows) {
    const CameraState camera;
    const ViewVolume square = viewVolume(camera, 800, 800);
    EXPECT_EQ(square.halfWidth, 900.0);
    EXPECT_EQ(square.halfHeight, 900.0);
    EXPECT_EQ(square.zNear, -2000.0);
    EXPECT_EQ(square.zFar, 4000.0);
    // The shorter side sees ±900 and the longer one proportionally more: one world unit is as
    // many pixels across as up.
    const ViewVolume wide = viewVolume(camera, 1600, 800);
    EXPECT_EQ(wide.halfWidth, 1800.0);
    EXPECT_EQ(wide.halfHeight, 900.0);
    const ViewVolume tall = viewVolume(camera, 300, 600);
    EXPECT_EQ(tall.halfWidth, 900.0);
    EXPECT_EQ(tall.halfHeight, 1800.0);
}

// Every corner of `box` inside the window and the depth range, for the camera's angles and for
// turns away from them; the box's shown extent fills `fraction` of the shorter window side.
void expectFitted(const CameraState& fitted, const Box3& box, int width, int height) {
    const double shorter = std::min(width, height);
    double left = width;
    double right = 0.0;
    double top = height;
    double bottom = 0.0;
    for (int i = 0; i < 8; ++i) {
        const Vec3 corner{(i & 1) ? box.max.x : box.min.x, (i & 2) ? box.max.y : box.min.y,
                          (i & 4) ? box.max.z : box.min.z};
        const WindowPoint p = projectToWindow(fitted, corner, width, height);
        left = std::min(left, p.x);
        right = std::max(right, p.x);
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    EXPECT_NEAR(std::max(right - left, bottom - top), 0.8 * shorter, 1e-6 * shorter);
    EXPECT_NEAR((left + right) / 2, width / 2.0, 1e-6 * shorter);
    EXPECT_NEAR((top + bottom) / 2, height / 2.0, 1e-6 * shorter);
    // Nothing is cut off in depth, however the view is turned afterwards.
    for (double turn : {0.0, 1.0, 2.5, -2.0}) {
        CameraState turned = fitted;
        turned.viewTheta += turn;
        turned.viewPhi += turn / 3;
        const ViewVolume volume = viewVolume(turned, width, height);
        for (int i = 0; i < 8; ++i) {
            const Vec3 corner{(i & 1) ? box.max.x : box.min.x, (i & 2) ? box.max.y : box.min.y,
                              (i & 4) ? box.max.z : box.min.z};
            const double depth = toViewSpace(turned, corner).z;
            EXPECT_GT(depth, volume.zNear) << turn;
            EXPECT_LT(depth, volume.zFar) << turn;
        }
    }
}

TEST(CameraTest, FitFillsTheWindowWhateverTheModelsUnitsAndPlace) {
    struct Case {
        const char* what;
        Box3 box;
    };
    const std::vector<Case> cases{
        {"metre-sized arm", {{-0.05, 0.0, -0.05}, {0.05, 0.3, 0.05}}},
        {"gantry of 30,000 units", {{0.0, 0.0, 0.0}, {30000.0, 8000.0, 12000.0}}},
        {"small part far off the origin", {{1e5, -2e5, 5e4}, {1e5 + 2.0, -2e5 + 1.0, 5e4 + 3.0}}},
        {"flat plate in the XZ plane", {{-400.0, 0.0, -250.0}, {400.0, 0.0, 250.0}}},
        {"long bar seen end on", {{0.0, 0.0, -50000.0}, {10.0, 10.0, 50000.0}}},
    };
    CameraState turned;
    turned.viewTheta = 1.2;
    turned.viewPhi = 0.4;
    CameraState alongZ;  // the long bar almost end on: its depth dwarfs the start view's range
    alongZ.viewTheta = 0.02;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const CameraState& from : {CameraState{}, turned, alongZ}) {
            const CameraState fitted = fittedCamera(from, c.box);
            EXPECT_EQ(fitted.viewTheta, from.viewTheta);  // the turn is kept
            EXPECT_EQ(fitted.viewPhi, from.viewPhi);
            // The same camera fits windows of every shape.
            expectFitted(fitted, c.box, 800, 800);
            expectFitted(fitted, c.box, 1280, 720);
            expectFitted(fitted, c.box, 500, 900);
        }
    }
}

TEST(CameraTest, FitLeavesUnusableBoxesAloneAndCentresAPoint) {
    CameraState camera;
    camera.viewScale = 2.0;
    const auto unchanged = [&](const Box3& box) {
        const CameraState after = fittedCamera(camera, box);
        return after.viewScale == 2.0 && after.viewShift.x == 0.0 && !after.fitted;
    };
    EXPECT_TRUE(unchanged(Box3{}));
    EXPECT_TRUE(unchanged({{0.0, 0.0, 0.0}, {HUGE_VAL, 1.0, 1.0}}));
    EXPECT_TRUE(unchanged({{0.0, 0.0, std::nan("")}, {1.0, 1.0, 1.0}}));
    const double most = std::numeric_limits<double>::max();  // its size is not finite
    EXPECT_TRUE(unchanged({{-most, 0.0, 0.0}, {most, 1.0, 1.0}}));
    // A single point keeps the zoom and moves to the middle of the window.
    const CameraState point = fittedCamera(camera, {{10.0, 20.0, 30.0}, {10.0, 20.0, 30.0}});
    EXPECT_EQ(point.viewScale, 2.0);
    const WindowPoint shown = projectToWindow(point, {10.0, 20.0, 30.0}, 800, 800);
    EXPECT_NEAR(shown.x, 400.0, 1e-9);
    EXPECT_NEAR(shown.y, 400.0, 1e-9);
}

}  // namespace
}  // namespace pelorin
