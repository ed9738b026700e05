#include "viewer/InputCallbacks.h"

#include <GL/freeglut.h>

#include <cctype>
#include <cstdio>
#include <string_view>

#include "scene/LiveValues.h"
#include "scene/PosedBounds.h"
#include "util/MessageStream.h"
#include "viewer/Recording.h"
#include "viewer/Screenshot.h"
#include "viewer/Viewer.h"
#include "viewer/ViewerMessages.h"
#include "viewer/ViewerState.h"

namespace pelorin {
namespace {

std::string_view buttonName(int button) {
    switch (button) {
        case GLUT_LEFT_BUTTON:
            return viewer_messages::kLeftButton;
        case GLUT_MIDDLE_BUTTON:
            return viewer_messages::kMiddleButton;
        case GLUT_RIGHT_BUTTON:
            return viewer_messages::kRightButton;
        default:
            return {};
    }
}

void releaseMiddle(ViewerState& viewer) {
    viewer.mouse.middleDown = false;
    commitDrag(viewer.camera);
    viewer.pacer.requestFrame();
}

void shiftSideways(ViewerState& viewer, double step) {
    viewer.camera.viewShift.x += step;
    viewer.pacer.requestFrame();
}

// One notch of the wheel, or one page key: +1 zooms in, -1 out.
void zoomSteps(ViewerState& viewer, int direction) {
    if (direction > 0) zoomIn(viewer.camera);
    if (direction < 0) zoomOut(viewer.camera);
    viewer.pacer.requestFrame();
}

// Zoom and shift so the model as posed now fills the window; the turn stays.
void fitViewToModel(CameraState& camera) {
    const ViewerModel model = viewerModel();
    if (model.root == nullptr) return;
    PoseValues values;
    if (model.values != nullptr) model.values->snapshot(values);
    camera = fittedCamera(camera, posedBounds(*model.root, values));
}

void printViewRotation(const CameraState& camera) {
    char line[128];
    std::snprintf(line, sizeof line, viewer_messages::kViewRotFormat.data(), camera.viewTheta,
                  camera.viewPhi);
    Console::out().msg(line).endl();
}

}  // namespace

void handleMouse(ViewerState& viewer, int button, int buttonState, int x, int y) {
    // A notch comes as a press and a release; the press zooms, silently.
    if (button == kWheelUpButton || button == kWheelDownButton) {
        if (buttonState == GLUT_DOWN) zoomSteps(viewer, button == kWheelUpButton ? 1 : -1);
        return;
    }
    const std::string_view name = buttonName(button);
    if (name.empty()) return;  // sideways wheel and extra buttons
    MessageStream& out = Console::out();
    out.msg(name);
    if (buttonState == GLUT_DOWN) {
        out.msg(viewer_messages::kButtonDown).endl();
        viewer.mouse.pressX = x;
        viewer.mouse.pressY = y;
        if (button == GLUT_MIDDLE_BUTTON) viewer.mouse.middleDown = true;
    } else {
        out.msg(viewer_messages::kButtonUp).endl();
        if (button == GLUT_MIDDLE_BUTTON) releaseMiddle(viewer);
    }
}

void handleMotion(ViewerState& viewer, int x, int y) {
    if (!viewer.mouse.middleDown) return;
    dragTo(viewer.camera, viewer.mouse.pressX, viewer.mouse.pressY, x, y);
    char line[64];
    std::snprintf(line, sizeof line, viewer_messages::kMoveFormat.data(), viewer.camera.dragDX,
                  viewer.camera.dragDY);
    Console::out().msg(line).endl();
    viewer.pacer.requestFrame();
}

void handleKey(ViewerState& viewer, unsigned char key) {
    switch (std::tolower(key)) {
        case kScreenshotKey:
            saveScreenshot();
            break;
        case kFitKey:
            fitViewToModel(viewer.camera);
            break;
        case kResetKey:
            viewer.camera = CameraState{};
            break;
        case kRecordKey:
            toggleRecording();
            break;
        case kReloadKey:
            reloadKeyPressed();
            break;
        default:
            break;
    }
    viewer.pacer.requestFrame();
}

void handleSpecialKey(ViewerState& viewer, int key) {
    switch (key) {
        case GLUT_KEY_PAGE_UP:
            zoomSteps(viewer, 1);
            break;
        case GLUT_KEY_PAGE_DOWN:
            zoomSteps(viewer, -1);
            break;
        case GLUT_KEY_RIGHT:
            printViewRotation(viewer.camera);
            shiftSideways(viewer, arrowStep(viewer.camera));
            break;
        case GLUT_KEY_LEFT:
            shiftSideways(viewer, -arrowStep(viewer.camera));
            break;
        default:
            break;
    }
}

void handleWheel(ViewerState& viewer, int wheel, int direction) {
    if (wheel == 0) zoomSteps(viewer, direction);
}

void mouse(int button, int state, int x, int y) {
    handleMouse(viewerState(), button, state, x, y);
}

void motion(int x, int y) {
    handleMotion(viewerState(), x, y);
}

void keyboard(unsigned char key, int /*x*/, int /*y*/) {
    handleKey(viewerState(), key);
}

void special(int key, int /*x*/, int /*y*/) {
    handleSpecialKey(viewerState(), key);
}

void mouseWheel(int wheel, int direction, int /*x*/, int /*y*/) {
    handleWheel(viewerState(), wheel, direction);
}

}  // namespace pelorin
