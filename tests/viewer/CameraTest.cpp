#include "viewer/Camera.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace pelorin {
namespace {

TEST(CameraTest, ZoomStepsByATenthAboutTheMiddleOfTheWindow) {
    CameraState camera;
    for (int i = 0; i < 10; ++i) zoomIn(camera);
    EXPECT_NEAR(camera.viewScale, 0.5 * std::pow(1.1, 10), 1e-12);
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

// Every corner of `box` inside the window and the depth range, for the camera's angles and for
// turns away from them; the box's shown extent fills 80 % of the shorter window side.
void expectFitted(const CameraState& fitted, const Box3& box, int width, int height) {
    const double shorter = std::min(width, height);
    double left = width;
    double right = 0.0;
    double top = height;
    double bottom = 0.0;
    const auto corner = [&](int i) {
        return Vec3{(i & 1) ? box.max.x : box.min.x, (i & 2) ? box.max.y : box.min.y,
                    (i & 4) ? box.max.z : box.min.z};
    };
    for (int i = 0; i < 8; ++i) {
        const WindowPoint p = projectToWindow(fitted, corner(i), width, height);
        left = std::min(left, p.x);
        right = std::max(right, p.x);
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    EXPECT_NEAR(std::max(right - left, bottom - top), 0.8 * shorter, 1e-6 * shorter);
    EXPECT_NEAR((left + right) / 2, width / 2.0, 1e-6 * shorter);
    EXPECT_NEAR((top + bottom) / 2, height / 2.0, 1e-6 * shorter);
    // Nothing is cut off in depth, however the view is turned and shifted afterwards.
    for (double turn : {0.0, 1.0, 2.5, -2.0}) {
        CameraState moved = fitted;
        moved.viewTheta += turn;
        moved.viewPhi += turn / 3;
        for (int presses = 0; presses <= 3; ++presses) {
            if (presses > 0) moved.viewShift.x += arrowStep(moved);  // the right arrow
            const ViewVolume volume = viewVolume(moved, width, height);
            for (int i = 0; i < 8; ++i) {
                const double depth = toViewSpace(moved, corner(i)).z;
                EXPECT_GT(depth, volume.zNear) << turn << " " << presses;
                EXPECT_LT(depth, volume.zFar) << turn << " " << presses;
            }
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

// Looking along the Y axis (θ = φ = ±π/2), the up direction cannot be +Y: the picture is the
// one the views beside it approach, not a turn left to rounding.
TEST(CameraTest, ViewAlongTheYAxisIsTheLimitOfTheViewsBesideIt) {
    const double right = std::acos(0.0);
    for (double phi : {right, -right}) {
        CameraState along;
        along.viewTheta = right;
        along.viewPhi = phi;
        CameraState beside = along;
        beside.viewTheta -= 1e-4;
        for (const Vec3& p : {Vec3{300.0, 0.0, 0.0}, Vec3{0.0, 0.0, -200.0}, Vec3{90, 50, 70}}) {
            const WindowPoint a = projectToWindow(along, p, 800, 800);
            const WindowPoint b = projectToWindow(beside, p, 800, 800);
            EXPECT_NEAR(a.x, b.x, 0.1) << phi;
            EXPECT_NEAR(a.y, b.y, 0.1) << phi;
        }
        // The X axis runs across the middle of the window, not along a diagonal.
        EXPECT_NEAR(projectToWindow(along, {300.0, 0.0, 0.0}, 800, 800).y, 400.0, 1e-9);
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
