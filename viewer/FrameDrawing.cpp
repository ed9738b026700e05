#include "viewer/FrameDrawing.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include "render/SceneDrawer.h"
#include "scene/Parts.h"
#include "scene/SceneRevision.h"
#include "util/MessageStream.h"
#include "viewer/AxisGlyph.h"
#include "viewer/FrameStats.h"
#include "viewer/InputCallbacks.h"
#include "viewer/Recording.h"
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

void loadProjection(const CameraState& camera, int width, int height) {
    const ViewVolume volume = viewVolume(camera, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-volume.halfWidth, volume.halfWidth, -volume.halfHeight, volume.halfHeight,
            volume.zNear, volume.zFar);
}

void lookFrom(const Vec3& eye, const Vec3& target) {
    gluLookAt(eye.x, eye.y, eye.z, target.x, target.y, target.z, 0.0, 1.0, 0.0);
}

}  // namespace

// The view lives in the projection matrix; the modelview holds the scale and the model's own
// transforms, so the light set up under an identity stays put.
void drawFrame(const FrameView& view, AxisGlyph& axes, SceneDrawer& drawer) {
    const CameraState& camera = view.camera;
    glViewport(0, 0, view.width, view.height);
    loadProjection(camera, view.width, view.height);
    lookFrom(eyePosition(camera), viewTarget(camera));
    glMatrixMode(GL_MODELVIEW);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0.0F, 0.0F, 0.0F, 1.0F);
    glLoadIdentity();
    glScaled(camera.viewScale, camera.viewScale, camera.viewScale);
    axes.drawAtLength(ViewerState::kAxisLength);
    if (const Parts* root = view.root) drawer.draw(*root, view.values);
}

namespace {

// The tree a window frame draws, held until the frame is done. When it is another tree than the
// last frame's, the GL copies of the old tree's meshes go first: they are keyed by objects that
// may be freed, and a new object could take an old one's address.
ViewerModel frameModel() {
    static std::weak_ptr<const Parts>* lastDrawn = new std::weak_ptr<const Parts>;
    ViewerModel model = viewerModel();
    const bool same = !lastDrawn->owner_before(model.root) && !model.root.owner_before(*lastDrawn);
    if (!same) {
        sceneDrawer().releaseGl();
        *lastDrawn = model.root;
    }
    return model;
}

FrameView windowView(const ViewerModel& model) {
    const ViewerState& state = viewerState();
    FrameView view;
    view.camera = state.camera;
    view.width = state.windowWidth;
    view.height = state.windowHeight;
    view.root = model.root.get();
    view.values = model.values;
    return view;
}

// What a frame shows is fixed when it begins: the scene revision (read before any value, so
// every value stored before that revision was counted is drawn) and the start time.
struct FrameStart {
    std::uint64_t revision = sceneRevision();
    std::chrono::steady_clock::time_point time = std::chrono::steady_clock::now();
};

// Reads the drawn frame back from the back buffer.
FrameImage readWindowFrame(const FrameView& view) {
    glReadBuffer(GL_BACK);
    return readFrame(view.width, view.height);
}

// Frame timing figures on standard error, when PELORIN_FRAME_STATS asks for them (read once).
FrameStats* frameStats() {
    static FrameStats* stats =
        frameStatsWanted(std::getenv("PELORIN_FRAME_STATS")) ? new FrameStats : nullptr;
    return stats;
}

// The window's frame up to the point where GL has finished drawing it, when the figures are
// wanted; the swap is not counted.
void drawWindowFrame(const FrameView& view) {
    const auto start = FrameStats::Clock::now();
    drawFrame(view, *viewerState().axisGlyph, sceneDrawer());
    FrameStats* stats = frameStats();
    if (stats == nullptr) return;
    glFinish();
    if (const auto line = stats->frameDrawn(start, FrameStats::Clock::now())) {
        Console::err().raw(*line).endl();
    }
}

void swapAndRecord(const FrameStart& start) {
    glutSwapBuffers();
    recordFrameSwapped(start.revision, start.time);
}

}  // namespace

void setUpFrameState() {
    glLightfv(GL_LIGHT0, GL_POSITION, kLightPosition);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_DEPTH_TEST);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_CULL_FACE);
    glEnable(GL_NORMALIZE);
}

FrameImage readFrame(int width, int height) {
    FrameImage image;
    image.width = width;
    image.height = height;
    image.rgb.resize(static_cast<std::size_t>(width) * height * 3);
    std::vector<std::uint8_t> bottomUp(image.rgb.size());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    for (int row = 0; row < height; ++row) {
        std::copy_n(bottomUp.begin() + static_cast<std::ptrdiff_t>(row * rowBytes), rowBytes,
                    image.rgb.begin() + static_cast<std::ptrdiff_t>((height - 1 - row) * rowBytes));
    }
    return image;
}

void initGL() {
    setUpFrameState();
    glutReshapeFunc(reshape);
    glutDisplayFunc(display);
    glutMouseFunc(mouse);
    glutMotionFunc(motion);
    glutSpecialFunc(special);
    glutMouseWheelFunc(mouseWheel);
}

void display() {
    const FrameStart start;
    const ViewerModel model = frameModel();
    const FrameView view = windowView(model);
    drawWindowFrame(view);
    if (isRecording()) recordFrame(readWindowFrame(view));
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
    loadProjection(state.camera, width, height);
    lookFrom(eyeOffset(currentAngles(state.camera), state.camera.viewDistance), Vec3{});
    glMatrixMode(GL_MODELVIEW);
    requestRedraw();
}

FrameImage drawAndCaptureFrame() {
    const FrameStart start;
    const ViewerModel model = frameModel();
    const FrameView view = windowView(model);
    drawWindowFrame(view);
    FrameImage image = readWindowFrame(view);
    if (isRecording()) recordFrame(image);
    swapAndRecord(start);
    return image;
}

}  // namespace pelorin
