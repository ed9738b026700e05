// What the window shows, read back from the frames the viewer draws under Xvfb.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

#include "render/DrawnObjectBySTL.h"
#include "scene/Parts.h"
#include "scene/RotateTransform.h"
#include "scene/SceneRevision.h"
#include "tests/viewer/PngReader.h"
#include "tests/viewer/TempDir.h"
#include "tests/viewer/ViewerHarness.h"
#include "util/MessageStream.h"
#include "viewer/InputCallbacks.h"
#include "viewer/Viewer.h"
#include "viewer/ViewerState.h"

namespace pelorin {
namespace {

using testing::anyPixelNear;
using testing::captureFrame;
using testing::onViewer;

constexpr int kWindow = ViewerState::kWindowSize;
constexpr int kSearchRadius = 2;

// A flat bar in the z = 0 plane facing +Z: x from 100 to 600, y from 50 to 150 (model units).
const char* const kBarStl =
    "solid bar\n"
    " facet normal 0 0 1\n  outer loop\n"
    "   vertex 100 50 0\n   vertex 600 50 0\n   vertex 600 150 0\n"
    "  endloop\n endfacet\n"
    " facet normal 0 0 1\n  outer loop\n"
    "   vertex 100 50 0\n   vertex 600 150 0\n   vertex 100 150 0\n"
    "  endloop\n endfacet\n"
    "endsolid bar\n";

// The robot of these tests: a root whose input chain turns the bar about Z. Built once and kept
// for the life of the process, as the viewer requires of its root.
struct BarScene {
    Parts root{"ROOT"};
    TransformValue* angle = nullptr;
    std::string error;
};

BarScene& barScene() {
    static BarScene* scene = [] {
        auto* s = new BarScene;
        testing::TempDir dir;
        const std::string path = dir.file("bar.stl");
        std::ofstream(path) << kBarStl;
        auto mesh = std::make_unique<DrawnObjectBySTL>(1.0F, 1.0F, 0.0F, "bar");
        if (!dir.ok() || !mesh->loadStl(path)) s->error = "cannot write or load " + path;
        auto joint = std::make_unique<RotateTransform>(RotateTransform::kAxisZ, 0.0, "joint");
        s->angle = joint->angleCell();
        s->root.inputTransforms().pushBack(std::move(joint));
        s->root.setDrawnObject(std::move(mesh));
        return s;
    }();
    return *scene;
}

WindowPoint at(const CameraState& camera, double x, double y, double z) {
    return projectToWindow(camera, {x, y, z}, kWindow, kWindow);
}

int countLitPixels(const FrameImage& frame) {
    int count = 0;
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) count += testing::isLitSurface(frame.at(x, y));
    }
    return count;
}

// The file names of the console's "saved" lines; an empty list when any line is something else.
std::vector<std::string> savedNames(const std::string& traces) {
    const std::string prefix = "画面を保存しました: ";
    std::vector<std::string> names;
    std::istringstream lines(traces);
    for (std::string line; std::getline(lines, line);) {
        if (line.compare(0, prefix.size(), prefix) != 0) return {};
        names.push_back(line.substr(prefix.size()));
    }
    return names;
}

// pelorin-YYYYMMDD-HHMMSS.png, or with "-2" before the extension.
bool isScreenshotName(const std::string& name) {
    const std::string pattern = "pelorin-dddddddd-dddddd";
    if (name.size() < pattern.size()) return false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const bool digit = std::isdigit(static_cast<unsigned char>(name[i])) != 0;
        if (pattern[i] == 'd' ? !digit : name[i] != pattern[i]) return false;
    }
    const std::string rest = name.substr(pattern.size());
    return rest == ".png" || rest == "-2.png";
}

class ViewerWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(testing::ensureViewerRunning(&error)) << error;
        clearViewerRoot();
        ASSERT_TRUE(onViewer([] {
            viewerCamera() = CameraState{};
            viewerState().mouse = MouseState{};
        }));
    }

    void showBar(double degrees) {
        BarScene& scene = barScene();
        ASSERT_EQ(scene.error, "");
        scene.angle->set(degrees);
        notifySceneChanged();
        setViewerRoot(&scene.root);
    }

    // Console traces of `task`, run on the viewer thread with the console captured.
    std::string tracesOf(const std::function<void()>& task) {
        StringSink out;
        EXPECT_TRUE(onViewer([&] {
            Console::redirect(&out, nullptr, TextEncoding::Utf8);
            task();
            Console::redirect(nullptr, nullptr);
        }));
        return out.text();
    }
};

TEST_F(ViewerWindowTest, AxesAppearRedGreenBlueWhereTheInitialCameraPutsThem) {
    const FrameImage frame = captureFrame();
    ASSERT_EQ(frame.width, kWindow);
    ASSERT_EQ(frame.height, kWindow);
    const CameraState camera;
    for (double t : {200.0, 500.0, 900.0}) {
        EXPECT_TRUE(anyPixelNear(frame, at(camera, t, 0, 0), kSearchRadius, testing::isRed)) << t;
        EXPECT_TRUE(anyPixelNear(frame, at(camera, 0, t, 0), kSearchRadius, testing::isGreen)) << t;
        EXPECT_TRUE(anyPixelNear(frame, at(camera, 0, 0, t), kSearchRadius, testing::isBlue)) << t;
    }
    // The axes are drawn 1000 units long and no further; away from them the window is black.
    EXPECT_TRUE(anyPixelNear(frame, at(camera, 1100, 0, 0), 0, testing::isBlack));
    EXPECT_TRUE(anyPixelNear(frame, at(camera, 300, 300, 0), 0, testing::isBlack));
}

TEST_F(ViewerWindowTest, NewJointValueMovesTheMeshOnScreen) {
    showBar(0.0);
    const CameraState camera;
    const WindowPoint alongX = at(camera, 400, 100, 0);
    const WindowPoint alongY = at(camera, -100, 400, 0);  // the bar turned by 90 degrees
    const FrameImage before = captureFrame();
    EXPECT_TRUE(anyPixelNear(before, alongX, 0, testing::isLitSurface));
    EXPECT_TRUE(anyPixelNear(before, alongY, 0, testing::isBlack));

    // The road of a received value: store into the cell, count the change, and the viewer puts
    // a frame with it on screen without being asked otherwise.
    barScene().angle->set(90.0);
    notifySceneChanged();
    const std::uint64_t revision = sceneRevision();
    EXPECT_TRUE(waitForFrameShowing(revision, std::chrono::seconds(60)));
    const FrameImage after = captureFrame();
    EXPECT_TRUE(anyPixelNear(after, alongX, 0, testing::isBlack));
    EXPECT_TRUE(anyPixelNear(after, alongY, 0, testing::isLitSurface));
}

TEST_F(ViewerWindowTest, PageUpMakesTheSceneLarger) {
    showBar(30.0);
    const int before = countLitPixels(captureFrame());
    ASSERT_GT(before, 1000);
    ASSERT_TRUE(onViewer([] {
        for (int i = 0; i < 5; ++i) special(GLUT_KEY_PAGE_UP, 0, 0);
    }));
    const int after = countLitPixels(captureFrame());
    // Five steps of 1.1 scale the area by 1.1^10 = 2.59.
    EXPECT_GT(after, before * 2.3);
    EXPECT_LT(after, before * 2.9);
}

TEST_F(ViewerWindowTest, MiddleDragTurnsTheViewWhileDraggingAndAfterRelease) {
    CameraState turned;
    turned.viewTheta = 0.6;
    turned.viewPhi = 0.05;
    const WindowPoint oldTip = at(CameraState{}, 0, 0, 900);
    const WindowPoint newTip = at(turned, 0, 0, 900);
    ASSERT_GT(std::abs(oldTip.x - newTip.x) + std::abs(oldTip.y - newTip.y), 20.0);

    FrameImage dragging;
    const std::string traces = tracesOf([&] {
        mouse(GLUT_MIDDLE_BUTTON, GLUT_DOWN, 400, 400);
        motion(300, 450);
        dragging = captureViewerFrame();
        mouse(GLUT_MIDDLE_BUTTON, GLUT_UP, 300, 450);
    });
    EXPECT_EQ(traces, "Middle down\nmove 100\t50\nMiddle up\n");
    EXPECT_TRUE(anyPixelNear(dragging, newTip, kSearchRadius, testing::isBlue));
    EXPECT_FALSE(anyPixelNear(dragging, oldTip, kSearchRadius, testing::isBlue));

    const FrameImage released = captureFrame();
    EXPECT_TRUE(anyPixelNear(released, newTip, kSearchRadius, testing::isBlue));
}

TEST_F(ViewerWindowTest, WideWindowShowsMoreOfTheSceneUndistorted) {
    constexpr int kWide = 2 * kWindow;
    ASSERT_TRUE(testing::resizeWindow(kWide, kWindow)) << "the window did not take its new size";
    const FrameImage frame = captureFrame();
    ASSERT_TRUE(testing::resizeWindow(kWindow, kWindow));
    ASSERT_EQ(frame.width, kWide);
    const CameraState camera;
    // One world unit is as many pixels across as up, as in the square window: the axis tips
    // lie as far from the middle as there.
    const WindowPoint redTip = projectToWindow(camera, {900, 0, 0}, kWide, kWindow);
    const WindowPoint squareTip = projectToWindow(camera, {900, 0, 0}, kWindow, kWindow);
    EXPECT_NEAR(redTip.x - kWindow, squareTip.x - kWindow / 2, 1e-9);
    EXPECT_TRUE(anyPixelNear(frame, redTip, kSearchRadius, testing::isRed));
    EXPECT_TRUE(anyPixelNear(frame, projectToWindow(camera, {0, 900, 0}, kWide, kWindow),
                             kSearchRadius, testing::isGreen));
    // The red axis, 1000 units long, ends well inside the wider view.
    EXPECT_TRUE(anyPixelNear(frame, projectToWindow(camera, {1100, 0, 0}, kWide, kWindow), 0,
                             testing::isBlack));
}

TEST_F(ViewerWindowTest, ScreenshotKeySavesTheShownFrameUnderANewName) {
    showBar(45.0);
    testing::TempDir dir;
    ASSERT_TRUE(dir.ok());
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    FrameImage shown;
    const std::string traces = tracesOf([&] {
        keyboard(kScreenshotKey, 0, 0);
        keyboard(kScreenshotKey, 0, 0);  // within the same second: a second file, not the same
        shown = captureViewerFrame();
    });
    std::filesystem::current_path(previous);

    const std::vector<std::string> names = savedNames(traces);
    ASSERT_EQ(names.size(), 2U) << traces;
    EXPECT_NE(names[0], names[1]);
    for (const std::string& name : names) EXPECT_TRUE(isScreenshotName(name)) << name;

    std::string error;
    const FrameImage saved = testing::readPng(dir.file(names[0]), &error);
    ASSERT_EQ(saved.width, kWindow) << error;
    EXPECT_EQ(saved.height, kWindow);
    EXPECT_TRUE(saved.rgb == shown.rgb) << "the file differs from the frame on screen";
    EXPECT_TRUE(std::filesystem::exists(dir.file(names[1])));
    // Saving does not move the camera.
    CameraState camera;
    ASSERT_TRUE(onViewer([&] { camera = viewerCamera(); }));
    EXPECT_DOUBLE_EQ(camera.viewScale, CameraState{}.viewScale);
    EXPECT_DOUBLE_EQ(camera.viewTheta, CameraState{}.viewTheta);
}

}  // namespace
}  // namespace pelorin
