// The handlers are given a viewer state of the test's own and touch only it and the console, so
// they run here on the test thread without a window (no viewer thread exists in this process).
#include "viewer/InputCallbacks.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include "util/MessageStream.h"
#include "viewer/ViewerState.h"

namespace pelorin {
namespace {

class InputCallbacksTest : public ::testing::Test {
  protected:
    void SetUp() override { Console::redirect(&out_, &err_, TextEncoding::Utf8); }
    void TearDown() override { Console::redirect(nullptr, nullptr); }

    void mouse(int button, int state, int x, int y) { handleMouse(viewer_, button, state, x, y); }
    void motion(int x, int y) { handleMotion(viewer_, x, y); }
    void special(int key) { handleSpecialKey(viewer_, key); }
    void wheel(int wheel, int direction) { handleWheel(viewer_, wheel, direction); }
    const CameraState& camera() const { return viewer_.camera; }

    ViewerState viewer_;
    StringSink out_;
    StringSink err_;
};

TEST_F(InputCallbacksTest, MiddleDragShowsOffsetsFromThePressAndCommitsOnRelease) {
    mouse(GLUT_MIDDLE_BUTTON, GLUT_DOWN, 400, 400);
    motion(350, 420);
    motion(300, 450);
    EXPECT_DOUBLE_EQ(camera().viewTheta, 0.5);
    EXPECT_EQ(camera().dragDX, 100);
    EXPECT_EQ(camera().dragDY, 50);
    mouse(GLUT_MIDDLE_BUTTON, GLUT_UP, 300, 450);
    EXPECT_EQ(out_.text(), "Middle down\nmove 50\t20\nmove 100\t50\nMiddle up\n");
    EXPECT_NEAR(camera().viewTheta, 0.6, 1e-12);
    EXPECT_NEAR(camera().viewPhi, 0.05, 1e-12);
    EXPECT_EQ(camera().dragDX, 0);
    EXPECT_EQ(camera().dragDY, 0);
    // After the release, moves no longer turn the view; a click without a move keeps the angles.
    motion(0, 0);
    EXPECT_EQ(camera().dragDX, 0);
    mouse(GLUT_MIDDLE_BUTTON, GLUT_DOWN, 10, 10);
    mouse(GLUT_MIDDLE_BUTTON, GLUT_UP, 10, 10);
    EXPECT_NEAR(camera().viewTheta, 0.6, 1e-12);
    EXPECT_NEAR(camera().viewPhi, 0.05, 1e-12);
    EXPECT_EQ(out_.text(),
              "Middle down\nmove 50\t20\nmove 100\t50\nMiddle up\nMiddle down\nMiddle up\n");
}

TEST_F(InputCallbacksTest, OtherButtonsMoveTheSharedPressPointOnly) {
    mouse(GLUT_MIDDLE_BUTTON, GLUT_DOWN, 400, 400);
    mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 100, 100);
    motion(90, 130);  // measured from the left button's press now
    EXPECT_EQ(camera().dragDX, 10);
    EXPECT_EQ(camera().dragDY, 30);
    mouse(GLUT_RIGHT_BUTTON, GLUT_DOWN, 0, 0);
    mouse(GLUT_RIGHT_BUTTON, GLUT_UP, 0, 0);
    mouse(GLUT_LEFT_BUTTON, GLUT_UP, 5, 5);
    EXPECT_EQ(out_.text(), "Middle down\nLEFT down\nmove 10\t30\nRight down\nRight up\nLEFT up\n");
    EXPECT_DOUBLE_EQ(camera().viewTheta, 0.5);  // still uncommitted
    // Left and right drags do not turn the view; sideways wheels and extra buttons do nothing.
    mouse(GLUT_MIDDLE_BUTTON, GLUT_UP, 0, 0);
    out_.clear();
    const CameraState before = camera();
    mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 0, 0);
    motion(500, 500);
    for (int button : {5, 6, 7, 8}) {
        mouse(button, GLUT_DOWN, 0, 0);
        mouse(button, GLUT_UP, 0, 0);
    }
    EXPECT_EQ(out_.text(), "LEFT down\n");
    EXPECT_DOUBLE_EQ(camera().viewTheta, before.viewTheta);
    EXPECT_EQ(camera().dragDX, 0);
}

TEST_F(InputCallbacksTest, ArrowsShiftSidewaysAndOnlyRightTraces) {
    special(GLUT_KEY_RIGHT);
    EXPECT_EQ(out_.text(), "viewRot\t0.500000\t0.000000\n");
    EXPECT_NEAR(camera().viewShift.x, -479.425538604203, 1e-9);
    EXPECT_NEAR(viewTarget(camera()).x, 479.425538604203, 1e-9);
    special(GLUT_KEY_LEFT);
    special(GLUT_KEY_LEFT);
    EXPECT_NEAR(camera().viewShift.x, 479.425538604203, 1e-9);
    EXPECT_EQ(camera().viewShift.y, 0.0);
    EXPECT_EQ(camera().viewShift.z, 0.0);
    EXPECT_EQ(out_.text(), "viewRot\t0.500000\t0.000000\n");
    // With the eye on the Z axis the step is zero.
    viewer_.camera = CameraState{};
    viewer_.camera.viewTheta = 0.0;
    special(GLUT_KEY_RIGHT);
    special(GLUT_KEY_LEFT);
    EXPECT_EQ(camera().viewShift.x, 0.0);
}

TEST_F(InputCallbacksTest, PageKeysAndWheelZoomSilentlyAndOtherKeysDoNothing) {
    const auto same = [](const CameraState& a, const CameraState& b) {
        return a.viewScale == b.viewScale && a.viewShift.x == b.viewShift.x &&
               a.viewShift.y == b.viewShift.y && a.viewShift.z == b.viewShift.z &&
               a.viewTheta == b.viewTheta;
    };
    // The page keys' cameras, after a shift so that the zoom's centre matters too.
    viewer_.camera.viewShift.x = -250.0;
    const CameraState start = camera();
    special(GLUT_KEY_PAGE_UP);
    special(GLUT_KEY_PAGE_UP);
    const CameraState up = camera();
    special(GLUT_KEY_PAGE_DOWN);
    const CameraState down = camera();
    EXPECT_NEAR(down.viewScale, 0.55, 1e-12);
    for (int key : {GLUT_KEY_UP, GLUT_KEY_DOWN, GLUT_KEY_F1, GLUT_KEY_HOME}) special(key);
    viewer_.pacer.frameStarted(FramePacer::Clock::now());
    handleKey(viewer_, 'k');  // any key redraws
    EXPECT_TRUE(viewer_.pacer.frameRequested());
    EXPECT_TRUE(same(camera(), down));

    // Buttons 3 and 4 of the mouse callback: a notch is a press and a release.
    viewer_.camera = start;
    for (int notch = 0; notch < 2; ++notch) {
        mouse(kWheelUpButton, GLUT_DOWN, 10, 10);
        mouse(kWheelUpButton, GLUT_UP, 10, 10);
    }
    EXPECT_TRUE(same(camera(), up));
    mouse(kWheelDownButton, GLUT_DOWN, 10, 10);
    mouse(kWheelDownButton, GLUT_UP, 10, 10);
    EXPECT_TRUE(same(camera(), down));

    // The wheel callback: direction +1 away from the user; other wheels do nothing.
    viewer_.camera = start;
    wheel(0, 1);
    wheel(0, 1);
    EXPECT_TRUE(same(camera(), up));
    wheel(0, -1);
    wheel(1, 1);
    EXPECT_TRUE(same(camera(), down));
    EXPECT_EQ(out_.text(), "");  // zooming leaves no trace
}

}  // namespace
}  // namespace pelorin
