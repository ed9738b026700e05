// What the window shows, read back from the frames the viewer draws under Xvfb.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <regex>
#include <vector>

#include "mesh/DrawnObjectBySTL.h"
#include "scene/LiveValues.h"
#include "scene/Parts.h"
#include "scene/RotateTransform.h"
#include "scene/SceneRevision.h"
#include "tests/support/MeshDrawing.h"
#include "tests/support/TempDir.h"
#include "tests/viewer/PngReader.h"
#include "tests/viewer/ViewerHarness.h"
#include "util/MessageStream.h"
#include "viewer/InputCallbacks.h"
#include "viewer/Viewer.h"
#include "viewer/ViewerState.h"
#include "viewer/ViewerTestHooks.h"

namespace pelorin {
namespace {

using testing::anyPixelNear;
using testing::captureFrame;
using testing::onViewer;

constexpr int kWindow = ViewerState::kWindowSize;
constexpr int kSearchRadius = 2;

// A root drawing `mesh` in the given colour, or null when it cannot be loaded; kept for the life
// of the process, as the viewer requires of its root.
Parts* modelOf(const std::vector<Triangle>& mesh, float r, float g, float b) {
    testing::TempDir dir;
    auto object = std::make_unique<DrawnObjectBySTL>(r, g, b, "mesh");
    if (!object->loadStl(dir.write("mesh.stl", testing::toBinaryStl(mesh, "mesh")))) return nullptr;
    auto* root = new Parts("ROOT");
    root->setDrawnObject(std::move(object));
    return root;
}

// The robot of these tests: a flat bar in the z = 0 plane facing +Z, x from 100 to 600 and y from
// 50 to 150, which the root's input chain turns about Z.
struct BarScene {
    Parts* root = modelOf(testing::boxMesh({100, 50, 0}, {600, 150, 0}), 1.0F, 1.0F, 0.0F);
    std::vector<TransformValue*> table;  // one entry: the joint's angle
    LiveValues values{{0.0}};

    // The road of a received value: one whole set published, the change counted.
    void receive(double degrees) {
        values.receive(table, &degrees, 1);
        notifySceneChanged();
    }
};

BarScene& barScene() {
    static BarScene* scene = [] {
        auto* s = new BarScene;
        auto joint = std::make_unique<RotateTransform>(RotateTransform::kAxisZ, 0.0, "joint");
        joint->angleCell()->setSlot(0);
        s->table.push_back(joint->angleCell());
        if (s->root != nullptr) s->root->inputTransforms().pushBack(std::move(joint));
        return s;
    }();
    return *scene;
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
        ASSERT_NE(scene.root, nullptr);
        scene.receive(degrees);
        setViewerRoot(scene.root, &scene.values);
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

// The axes run red, green and blue for 1000 units where the camera puts them, in a square window
// and in a wide one, which shows more of the scene undistorted.
TEST_F(ViewerWindowTest, AxesStandWhereTheCameraPutsThemInSquareAndWideWindows) {
    const CameraState camera;
    for (const int width : {kWindow, 2 * kWindow}) {
        SCOPED_TRACE(width);
        ASSERT_TRUE(testing::resizeWindow(width, kWindow)) << "the window did not take its size";
        const FrameImage frame = captureFrame();
        ASSERT_EQ(frame.width, width);
        ASSERT_EQ(frame.height, kWindow);
        const auto at = [&](double x, double y, double z) {
            return projectToWindow(camera, {x, y, z}, width, kWindow);
        };
        for (double t : {200.0, 500.0, 900.0}) {
            EXPECT_TRUE(anyPixelNear(frame, at(t, 0, 0), kSearchRadius, testing::isRed)) << t;
            EXPECT_TRUE(anyPixelNear(frame, at(0, t, 0), kSearchRadius, testing::isGreen)) << t;
            EXPECT_TRUE(anyPixelNear(frame, at(0, 0, t), kSearchRadius, testing::isBlue)) << t;
        }
        EXPECT_TRUE(anyPixelNear(frame, at(1100, 0, 0), 0, testing::isBlack));
        EXPECT_TRUE(anyPixelNear(frame, at(300, 300, 0), 0, testing::isBlack));
    }
    ASSERT_TRUE(testing::resizeWindow(kWindow, kWindow));
}

TEST_F(ViewerWindowTest, NewJointValueMovesTheMeshOnScreen) {
    showBar(0.0);
    const CameraState camera;
    const WindowPoint alongX = at(camera, 400, 100, 0);
    const WindowPoint alongY = at(camera, -100, 400, 0);  // the bar turned by 90 degrees
    const FrameImage before = captureFrame();
    EXPECT_TRUE(anyPixelNear(before, alongX, 0, testing::isLitSurface));
    EXPECT_TRUE(anyPixelNear(before, alongY, 0, testing::isBlack));

    // A received value is put on screen without the viewer being asked otherwise.
    barScene().receive(90.0);
    const std::uint64_t revision = sceneRevision();
    EXPECT_TRUE(waitForFrameShowing(revision, std::chrono::seconds(60)));
    const FrameImage after = captureFrame();
    EXPECT_TRUE(anyPixelNear(after, alongX, 0, testing::isBlack));
    EXPECT_TRUE(anyPixelNear(after, alongY, 0, testing::isLitSurface));
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
        Parts* model = modelOf(testing::boxMesh(c.low, c.high), 0.9F, 0.8F, 0.3F);
        ASSERT_NE(model, nullptr);
        setViewerRoot(model);
        ASSERT_TRUE(onViewer([&] {
            viewerCamera().viewTheta = c.theta;
            handleKey(viewerState(), kFitKey);
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
        ASSERT_TRUE(onViewer([] { handleKey(viewerState(), kResetKey); }));
    }
    clearViewerRoot();
    EXPECT_TRUE(captureFrame().rgb == start.rgb) << "'r' did not bring back the start view";
}

TEST_F(ViewerWindowTest, ScreenshotKeySavesTheShownFrameUnderANewName) {
    showBar(45.0);
    testing::TempDir dir;
    FrameImage shown;
    std::string traces;
    {
        const testing::WorkingDirectory inDir(dir.path());
        traces = tracesOf([&] {
            handleKey(viewerState(), kScreenshotKey);
            // Within the same second: a second file, not the same.
            handleKey(viewerState(), kScreenshotKey);
            shown = captureViewerFrame();
        });
    }

    const std::string saved = "画面を保存しました: (pelorin-[0-9]{8}-[0-9]{6}(?:-2)?\\.png)\n";
    std::smatch names;
    ASSERT_TRUE(std::regex_match(traces, names, std::regex(saved + saved))) << traces;
    EXPECT_NE(names[1], names[2]);

    std::string error;
    const FrameImage picture = testing::readPng(dir.file(names[1]), &error);
    ASSERT_EQ(picture.width, kWindow) << error;
    EXPECT_EQ(picture.height, kWindow);
    EXPECT_TRUE(picture.rgb == shown.rgb) << "the file differs from the frame on screen";
    EXPECT_TRUE(std::filesystem::exists(dir.file(names[2])));
    // Saving does not move the camera.
    CameraState camera;
    ASSERT_TRUE(onViewer([&] { camera = viewerCamera(); }));
    EXPECT_DOUBLE_EQ(camera.viewScale, CameraState{}.viewScale);
    EXPECT_DOUBLE_EQ(camera.viewTheta, CameraState{}.viewTheta);
}

}  // namespace
}  // namespace pelorin
