#include "viewer/Camera.h"

#include <gtest/gtest.h>

#include <cmath>

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

TEST(CameraTest, PageKeysZoomByATenthAndUndoEachOther) {
    double scale = CameraState::kInitialScale;
    for (int i = 0; i < 10; ++i) scale = zoomedIn(scale);
    EXPECT_NEAR(scale, 0.5 * std::pow(1.1, 10), 1e-12);
    EXPECT_NEAR(scale, 1.2969, 1e-4);
    for (int i = 0; i < 10; ++i) scale = zoomedOut(scale);
    EXPECT_NEAR(scale, 0.5, 1e-12);
}

TEST(CameraTest, ArrowStepIsTheNegatedXOfTheEyeOffset) {
    CameraState camera;
    EXPECT_NEAR(arrowStep(camera), -479.425538604203, 1e-9);
    EXPECT_NEAR(arrowStep(camera), -eyeOffset(currentAngles(camera), camera.viewDistance).x,
                kTolerance);
    camera.viewTheta = 0.0;
    EXPECT_EQ(arrowStep(camera), -0.0);
    // Only committed angles count: a drag in progress does not change the step.
    CameraState dragging;
    dragging.dragDX = 300;
    dragging.dragDY = -200;
    EXPECT_DOUBLE_EQ(arrowStep(dragging), arrowStep(CameraState{}));
}

TEST(CameraTest, DragTurnsTheViewUntilCommitted) {
    CameraState camera;
    dragTo(camera, 400, 400, 300, 450);
    EXPECT_EQ(camera.dragDX, 100);
    EXPECT_EQ(camera.dragDY, 50);
    const ViewAngles shown = currentAngles(camera);
    EXPECT_NEAR(shown.theta, 0.6, kTolerance);
    EXPECT_NEAR(shown.phi, 0.05, kTolerance);
    EXPECT_DOUBLE_EQ(camera.viewTheta, 0.5);  // not committed yet
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

}  // namespace
}  // namespace pelorin
