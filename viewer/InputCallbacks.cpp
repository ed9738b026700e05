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

void releaseMiddle(ViewerState& state) {
    state.mouse.middleDown = false;
    commitDrag(state.camera);
    requestRedraw();
}

void shiftSideways(double step) {
    viewerState().camera.viewShift.x += step;
    requestRedraw();
}

// One notch of the wheel, or one page key: +1 zooms in, -1 out.
void zoomSteps(int direction) {
    CameraState& camera = viewerState().camera;
    if (direction > 0) zoomIn(camera);
    if (direction < 0) zoomOut(camera);
    requestRedraw();
}

// Zoom and shift so the model as posed now fills the window; the turn stays.
void fitViewToModel() {
    const ViewerModel model = viewerModel();
    if (model.root == nullptr) return;
    PoseValues values;
    if (model.values != nullptr) model.values->snapshot(values);
    CameraState& camera = viewerState().camera;
    camera = fittedCamera(camera, posedBounds(*model.root, values));
}

void printViewRotation(const CameraState& camera) {
    char line[128];
    std::snprintf(line, sizeof line, viewer_messages::kViewRotFormat.data(), camera.viewTheta,
                  camera.viewPhi);
    Console::out().msg(line).endl();
}

}  // namespace

void mouse(int button, int state, int x, int y) {
    // A notch comes as a press and a release; the press zooms, silently.
    if (button == kWheelUpButton || button == kWheelDownButton) {
        if (state == GLUT_DOWN) zoomSteps(button == kWheelUpButton ? 1 : -1);
        return;
    }
    const std::string_view name = buttonName(button);
    if (name.empty()) return;  // sideways wheel and extra buttons
    ViewerState& viewer = viewerState();
    MessageStream& out = Console::out();
    out.msg(name);
    if (state == GLUT_DOWN) {
        out.msg(viewer_messages::kButtonDown).endl();
        viewer.mouse.pressX = x;
        viewer.mouse.pressY = y;
        if (button == GLUT_MIDDLE_BUTTON) viewer.mouse.middleDown = true;
    } else {
        out.msg(viewer_messages::kButtonUp).endl();
        if (button == GLUT_MIDDLE_BUTTON) releaseMiddle(viewer);
    }
}

void motion(int x, int y) {
    ViewerState& viewer = viewerState();
    if (!viewer.mouse.middleDown) return;
    dragTo(viewer.camera, viewer.mouse.pressX, viewer.mouse.pressY, x, y);
    char line[64];
    std::snprintf(line, sizeof line, viewer_messages::kMoveFormat.data(), viewer.camera.dragDX,
                  viewer.camera.dragDY);
    Console::out().msg(line).endl();
    requestRedraw();
}

void keyboard(unsigned char key, int /*x*/, int /*y*/) {
    switch (std::tolower(key)) {
        case kScreenshotKey:
            saveScreenshot();
            break;
        case kFitKey:
            fitViewToModel();
            break;
        case kResetKey:
            viewerState().camera = CameraState{};
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
    requestRedraw();
}

void special(int key, int /*x*/, int /*y*/) {
    CameraState& camera = viewerState().camera;
    switch (key) {
        case GLUT_KEY_PAGE_UP:
            zoomSteps(1);
            break;
        case GLUT_KEY_PAGE_DOWN:
            zoomSteps(-1);
            break;
        case GLUT_KEY_RIGHT:
            printViewRotation(camera);
            shiftSideways(arrowStep(camera));
            break;
        case GLUT_KEY_LEFT:
            shiftSideways(-arrowStep(camera));
            break;
        default:
            break;
    }
}

void mouseWheel(int wheel, int direction, int /*x*/, int /*y*/) {
    if (wheel == 0) zoomSteps(direction);
}

}  // namespace pelorin
