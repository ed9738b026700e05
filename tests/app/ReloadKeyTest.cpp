// The reload key on the real window: a file that reads replaces the model on screen and leaves
// the view alone; one that does not read leaves the model on screen and says which file and line.
#include <gtest/gtest.h>

#include "app/Application.h"
#include "tests/support/MeshDrawing.h"
#include "tests/support/TempDir.h"
#include "tests/viewer/ViewerHarness.h"
#include "util/MessageStream.h"
#include "viewer/InputCallbacks.h"
#include "viewer/Viewer.h"
#include "viewer/ViewerState.h"
#include "viewer/ViewerTestHooks.h"

namespace pelorin {
namespace {

constexpr std::chrono::seconds kReloadLimit(60);

// A lit bar from x0 to x1 along X, 100 units high.
std::string barRobot(const testing::TempDir& dir, const std::string& mesh, float x0, float x1) {
    dir.write(mesh, testing::toBinaryStl(testing::boxMesh({x0, 50, 0}, {x1, 150, 20}), "bar"));
    return "BEGIN PARTS = ROOT\n"
           "BEGIN DRAWN STL = bar\n"
           "PATH = " +
           mesh +
           "\n"
           "COLOR = 1,1,0\n"
           "END DRAWN STL\n"
           "END PARTS\n";
}

bool barAt(const FrameImage& frame, const CameraState& camera, double x) {
    const WindowPoint point = projectToWindow(camera, {x, 100, 20}, frame.width, frame.height);
    return testing::anyPixelNear(frame, point, 2, testing::isLitSurface);
}

// Presses the reload key on the viewer thread and waits until the reload it asked for is done.
void pressReload(Application& app) {
    ASSERT_TRUE(testing::onViewer([] { handleKey(viewerState(), kReloadKey); }));
    ASSERT_TRUE(app.waitForRequestedReloads(kReloadLimit));
}

TEST(ReloadKeyTest, NewFileReplacesTheModelKeepingTheViewAndABadOneKeepsTheOldModel) {
    std::string error;
    ASSERT_TRUE(testing::ensureViewerRunning(&error)) << error;
    testing::TempDir dir;
    testing::WorkingDirectory inDir(dir.path());
    dir.write("robot.txt", barRobot(dir, "right.stl", 100, 600));
    StringSink out;
    Console::redirect(&out, nullptr, TextEncoding::Utf8);
    Application app;
    char program[] = "pelorin";
    char path[] = "robot.txt";
    char* argv[] = {program, path};
    ASSERT_TRUE(app.checkArguments(2, argv));
    ASSERT_TRUE(app.start());
    CameraState camera;
    ASSERT_TRUE(testing::onViewer([&] {
        viewerCamera().viewPhi = 0.3;
        camera = viewerCamera();
    }));
    EXPECT_TRUE(barAt(testing::captureFrame(), camera, 350));

    dir.write("robot.txt", barRobot(dir, "left.stl", -600, -100));
    pressReload(app);
    const Parts* reloaded = app.root();
    FrameImage frame = testing::captureFrame();
    EXPECT_TRUE(barAt(frame, camera, -350)) << "the new model is drawn";
    EXPECT_FALSE(barAt(frame, camera, 350)) << "the old model is gone";
    CameraState after;
    ASSERT_TRUE(testing::onViewer([&] { after = viewerCamera(); }));
    EXPECT_EQ(after.viewPhi, camera.viewPhi);
    EXPECT_EQ(after.viewScale, camera.viewScale);

    // A line that is no keyword: the parser names it only in its log, the reload on the console.
    dir.write("robot.txt", "BEGIN PARTS = ROOT\nEND PARTS\nROBOT ARM\n");
    out.clear();
    pressReload(app);
    EXPECT_EQ(app.root(), reloaded);
    EXPECT_TRUE(barAt(testing::captureFrame(), camera, -350)) << "the model on screen stays";
    Console::redirect(nullptr, nullptr);
    EXPECT_NE(out.text().find("設定ファイル[robot.txt]の 3 行目を読み直せませんでした"),
              std::string::npos)
        << out.text();
}

}  // namespace
}  // namespace pelorin
