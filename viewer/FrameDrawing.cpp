#include "viewer/FrameDrawing.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "render/SceneDrawer.h"
#include "scene/Parts.h"
#include "scene/SceneRevision.h"
#include "util/MessageStream.h"
#include "viewer/AxisGlyph.h"
#include "viewer/FrameStats.h"
#include "viewer/InputCallbacks.h"
#include "viewer/ViewerState.h"

namespace pelorin {

namespace {

const GLfloat kLightPosition[4] = {5000.0F, 5000.0F, 5000.0F, 1.0F};

// The window's drawer: its poses and GL objects belong to the window's context. Never destroyed,
// like the rest of the viewer's state.
SceneDrawer& sceneDrawer() {
    static SceneDrawer* drawer = new SceneDrawer;
    return *drawer;
}

void loadViewBox() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-ViewBox::kHalfWidth, ViewBox::kHalfWidth, -ViewBox::kHalfHeight, ViewBox::kHalfHeight,
            ViewBox::kNear, ViewBox::kFar);
}

void lookFrom(const Vec3& eye, const Vec3& target) {
    gluLookAt(eye.x, eye.y, eye.z, target.x, target.y, target.z, 0.0, 1.0, 0.0);
}

// Frame timing figures on standard error, when PELORIN_FRAME_STATS asks for them (read once).
FrameStats* frameStats() {
    static FrameStats* stats =
        frameStatsWanted(std::getenv("PELORIN_FRAME_STATS")) ? new FrameStats : nullptr;
    return stats;
}

// Waits for GL to finish the frame and counts it, when the figures are wanted.
void finishTiming(FrameStats::Clock::time_point start) {
    FrameStats* stats = frameStats();
    if (stats == nullptr) return;
    glFinish();
    if (const auto line = stats->frameDrawn(start, FrameStats::Clock::now())) {
        Console::err().raw(*line).endl();
    }
}

// Everything but the swap. The view lives in the projection matrix; the modelview holds the
// scale and the model's own transforms, so the light set up under an identity stays put.
void drawFrameContents() {
    const auto start = FrameStats::Clock::now();
    const CameraState& camera = viewerState().camera;
    loadViewBox();
    lookFrom(eyePosition(camera), viewTarget(camera));
    glMatrixMode(GL_MODELVIEW);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0.0F, 0.0F, 0.0F, 1.0F);
    glLoadIdentity();
    glScaled(camera.viewScale, camera.viewScale, camera.viewScale);
    viewerState().axisGlyph->drawAtLength(ViewerState::kAxisLength);
    if (Parts* root = viewerRoot()) sceneDrawer().draw(*root, sceneRevision());
    finishTiming(start);
}

// What a frame shows is fixed when it begins: the scene revision (read before any value, so
// every value stored before that revision was counted is drawn) and the start time.
struct FrameStart {
    std::uint64_t revision = sceneRevision();
    std::chrono::steady_clock::time_point time = std::chrono::steady_clock::now();
};

void swapAndRecord(const FrameStart& start) {
    glutSwapBuffers();
    recordFrameSwapped(start.revision, start.time);
}

}  // namespace

void initGL() {
    glLightfv(GL_LIGHT0, GL_POSITION, kLightPosition);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_DEPTH_TEST);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_CULL_FACE);
    glutReshapeFunc(reshape);
    glutDisplayFunc(display);
    glutMouseFunc(mouse);
    glutMotionFunc(motion);
    glutSpecialFunc(special);
    glEnable(GL_NORMALIZE);
}

void display() {
    const FrameStart start;
    drawFrameContents();
    swapAndRecord(start);
}

void releaseFrameResources() {
    sceneDrawer().releaseGl();
}

void reshape(int width, int height) {
    ViewerState& state = viewerState();
    state.windowWidth = width;
    state.windowHeight = height;
    glViewport(0, 0, width, height);
    loadViewBox();
    lookFrom(eyeOffset(currentAngles(state.camera), state.camera.viewDistance), Vec3{});
    glMatrixMode(GL_MODELVIEW);
    requestRedraw();
}

FrameImage drawAndCaptureFrame() {
    const ViewerState& state = viewerState();
    const FrameStart start;
    drawFrameContents();
    FrameImage image;
    image.width = state.windowWidth;
    image.height = state.windowHeight;
    image.rgb.resize(static_cast<std::size_t>(image.width) * image.height * 3);
    std::vector<std::uint8_t> bottomUp(image.rgb.size());
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, image.width, image.height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    const std::size_t rowBytes = static_cast<std::size_t>(image.width) * 3;
    for (int row = 0; row < image.height; ++row) {
        std::copy_n(
            bottomUp.begin() + static_cast<std::ptrdiff_t>(row * rowBytes), rowBytes,
            image.rgb.begin() + static_cast<std::ptrdiff_t>((image.height - 1 - row) * rowBytes));
    }
    swapAndRecord(start);
    return image;
}

}  // namespace pelorin
