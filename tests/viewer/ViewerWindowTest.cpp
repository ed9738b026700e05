// What the window shows, read back from the frames the viewer draws under Xvfb.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <array>
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

// A closed box with outward facets from `low` to `high`, as ASCII STL.
std::string boxStl(const Vec3& low, const Vec3& high) {
    const double x[2] = {low.x, high.x};
    const double y[2] = {low.y, high.y};
    const double z[2] = {low.z, high.z};
    std::ostringstream out;
    out.precision(17);
    out << "solid box\n";
    const auto facet = [&](const char* normal, const std::array<std::array<int, 3>, 3>& corners) {
        out << " facet normal " << normal << "\n  outer loop\n";
        for (const auto& c : corners) {
            out << "   vertex " << x[c[0]] << ' ' << y[c[1]] << ' ' << z[c[2]] << '\n';
        }
        out << "  endloop\n endfacet\n";
    };
    // Each side as two counter-clockwise triangles seen from outside.
    const auto side = [&](const char* normal, std::array<int, 3> a, std::array<int, 3> b,
                          std::array<int, 3> c, std::array<int, 3> d) {
        facet(normal, {a, b, c});
        facet(normal, {a, c, d});
    };
    side("0 0 -1", {0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0});
    side("0 0 1", {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1});
    side("0 -1 0", {0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1});
    side("0 1 0", {0, 1, 0}, {0, 1, 1}, {1, 1, 1}, {1, 1, 0});
    side("-1 0 0", {0, 0, 0}, {0, 0, 1}, {0, 1, 1}, {0, 1, 0});
    side("1 0 0", {1, 0, 0}, {1, 1, 0}, {1, 1, 1}, {1, 0, 1});
    out << "endsolid box\n";
    return out.str();
}

// A root drawing one box; kept for the life of the process, as the viewer requires.
Parts* boxModel(const Vec3& low, const Vec3& high) {
    auto* root = new Parts("ROOT");
    testing::TempDir dir;
    const std::string path = dir.file("box.stl");
    std::ofstream(path) << boxStl(low, high);
    auto mesh = std::make_unique<DrawnObjectBySTL>(0.9F, 0.8F, 0.3F, "box");
    if (!mesh->loadStl(path)) return nullptr;
    root->setDrawnObject(std::move(mesh));
    return root;
}

// The smallest rectangle holding every mesh pixel, lit or in the shade (anything but the
// background and the axes): left, top, right, bottom (inclusive).
std::array<int, 4> meshExtent(const FrameImage& frame) {
    const auto isMesh = [](const Rgb& c) {
        return !testing::isRed(c) && !testing::isGreen(c) && !testing::isBlue(c) &&
               c.r + c.g + c.b > 12;  // the ambient light alone gives about 20
    };
    std::array<int, 4> extent{frame.width, frame.height, -1, -1};
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            if (!isMesh(frame.at(x, y))) continue;
            extent = {std::min(extent[0], x), std::min(extent[1], y), std::max(extent[2], x),
                      std::max(extent[3], y)};
        }
    }
    return extent;
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

// The smallest rectangle around where the camera puts the corners of a box.
std::array<double, 4> projectedExtent(const CameraState& camera, const Vec3& low,
                                      const Vec3& high) {
    std::array<double, 4> extent{1e9, 1e9, -1e9, -1e9};
    for (int i = 0; i < 8; ++i) {
        const WindowPoint p = at(camera, (i & 1) ? high.x : low.x, (i & 2) ? high.y : low.y,
                                 (i & 4) ? high.z : low.z);
        extent = {std::min(extent[0], p.x), std::min(extent[1], p.y), std::max(extent[2], p.x),
                  std::max(extent[3], p.y)};
    }
    return extent;
}

TEST_F(ViewerWindowTest, FitKeyFillsTheWindowWithModelsOfAnyUnitsAndResetReturns) {
    const FrameImage start = captureFrame();
    struct Case {
        const char* what;
        Vec3 low;
        Vec3 high;
        double theta;  // the view's polar angle when 'f' is pressed
    };
    // The long bar, seen almost end on, reaches far beyond the start view's depth range.
    const std::vector<Case> cases{
        {"arm link in metres", {0.0, 0.0, 0.0}, {0.05, 0.3, 0.05}, 0.5},
        {"gantry of 30,000 units", {-15000, 0, -4000}, {15000, 6000, 4000}, 0.5},
        {"part far off the origin", {-5e4, -2e4, -3e4}, {-5e4 + 40, -2e4 + 90, -3e4 + 20}, 0.5},
        {"long bar seen end on", {0, 0, -5e4}, {10, 10, 5e4}, 0.02},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Parts* model = boxModel(c.low, c.high);
        ASSERT_NE(model, nullptr);
        setViewerRoot(model);
        ASSERT_TRUE(onViewer([&] {
            viewerCamera().viewTheta = c.theta;
            keyboard(kFitKey, 0, 0);
        }));
        const std::array<int, 4> fitted = meshExtent(captureFrame());
        ASSERT_GE(fitted[2], 0) << "nothing of the model is shown";
        // 80 % of 800 pixels across the larger side, the middle in the middle.
        EXPECT_NEAR(std::max(fitted[2] - fitted[0], fitted[3] - fitted[1]) + 1, 640, 4);
        EXPECT_NEAR((fitted[0] + fitted[2]) / 2.0, 400, 2);
        EXPECT_NEAR((fitted[1] + fitted[3]) / 2.0, 400, 2);

        // The whole box is drawn, as fitted and turned further, nothing clipped in depth (a turned
        // bar leaves the window, where its extent says nothing).
        for (int turn = 0; turn < (c.theta == 0.5 ? 2 : 1); ++turn) {
            CameraState camera;
            ASSERT_TRUE(onViewer([&] {
                if (turn == 1) {
                    mouse(GLUT_MIDDLE_BUTTON, GLUT_DOWN, 400, 400);
                    motion(100, 600);
                    mouse(GLUT_MIDDLE_BUTTON, GLUT_UP, 100, 600);
                }
                camera = viewerCamera();
            }));
            const std::array<int, 4> shown = meshExtent(captureFrame());
            const std::array<double, 4> expected = projectedExtent(camera, c.low, c.high);
            for (int side = 0; side < 4; ++side) {
                EXPECT_NEAR(shown[side], expected[side], 2.0)
                    << "turn " << turn << " side " << side;
            }
        }
        ASSERT_TRUE(onViewer([] { keyboard(kResetKey, 0, 0); }));
    }
    clearViewerRoot();
    EXPECT_TRUE(captureFrame().rgb == start.rgb) << "'r' did not bring back the start view";
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
