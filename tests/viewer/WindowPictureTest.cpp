// Pictures from the window: pelorin-snapshot's files against the window's frames of the same
// model, values and size, and the recording key.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <regex>
#include <sstream>
#include <thread>
#include <vector>

#include "scene/LiveValues.h"
#include "scene/SceneRevision.h"
#include "setting/SettingFileParser.h"
#include "tests/support/RunWithoutDisplay.h"
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

using testing::captureFrame;
using testing::onViewer;

const std::string kSample = std::string(PELORIN_SOURCE_DIR) + "/samples/gripper-arm";
const std::vector<double> kBentPose{30, 40, 70, 20, -60, 60};

// The sample read once, from its own folder (mesh paths are relative to the working directory),
// with the log kept in memory; kept for the life of the process, as the viewer requires.
struct SampleScene {
    StringSink sink;
    MessageStream log{sink, TextEncoding::Utf8};
    SettingFileParser parser{log, log, log};
    Parts* root = nullptr;
    std::unique_ptr<LiveValues> values;
};

SampleScene& sampleScene() {
    static SampleScene* scene = [] {
        auto* s = new SampleScene;
        const testing::WorkingDirectory inSample(kSample);
        s->root = s->parser.parse("gripper-arm.txt");
        s->values = std::make_unique<LiveValues>(s->parser.defaultValues());
        return s;
    }();
    return *scene;
}

// pelorin-snapshot on a copy of the sample, without a display; the picture, or an empty image.
FrameImage snapshot(const std::string& options, std::string* output) {
    testing::TempDir dir;
    std::filesystem::copy(kSample, dir.path());
    const testing::RunResult run = testing::runWithoutDisplay(
        PELORIN_SNAPSHOT, "gripper-arm.txt out.png " + options, dir.path());
    *output = run.output;
    if (run.status != 0) return {};
    std::string error;
    FrameImage image = testing::readPng(dir.file("out.png"), &error);
    *output += error;
    return image;
}

std::string valuesOption(const std::vector<double>& values) {
    std::ostringstream text;
    for (std::size_t i = 0; i < values.size(); ++i) text << (i ? "," : "--values ") << values[i];
    return text.str();
}

class WindowPictureTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(testing::ensureViewerRunning(&error)) << error;
        ASSERT_TRUE(testing::resizeWindow(ViewerState::kWindowSize, ViewerState::kWindowSize));
        ASSERT_NE(sampleScene().root, nullptr) << sampleScene().sink.text();
        ASSERT_TRUE(onViewer([] { viewerCamera() = CameraState{}; }));
        pose(kBentPose);
        setViewerRoot(sampleScene().root, sampleScene().values.get());
    }

    static void pose(const std::vector<double>& values) {
        sampleScene().values->receive(sampleScene().parser.valueTable(), values.data(),
                                      values.size());
        notifySceneChanged();
    }
};

TEST_F(WindowPictureTest, SnapshotHasTheWindowsPixelsByteForByte) {
    struct Case {
        int width;
        int height;
        bool fit;  // --fit against the 'f' key from the start view
    };
    for (const Case& c : {Case{800, 800, false}, Case{640, 360, false}, Case{300, 500, false},
                          Case{800, 800, true}, Case{640, 360, true}}) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) +
                     (c.fit ? " fitted" : ""));
        ASSERT_TRUE(testing::resizeWindow(c.width, c.height));
        ASSERT_TRUE(onViewer([&] {
            viewerCamera() = CameraState{};
            if (c.fit) handleKey(viewerState(), kFitKey);
        }));
        const FrameImage window = captureFrame();
        std::string output;
        const std::string size = " --size " + std::to_string(c.width) + "x" +
                                 std::to_string(c.height) + (c.fit ? " --fit" : "");
        const FrameImage picture = snapshot(valuesOption(kBentPose) + size, &output);
        ASSERT_EQ(picture.width, c.width) << output;
        ASSERT_EQ(picture.height, c.height);
        EXPECT_TRUE(window.rgb == picture.rgb);
    }
}

// Runs `task` on the viewer thread with the console captured into `sink`, which only the viewer
// thread touches until the capture ends.
void withConsoleOn(StringSink& sink, const std::function<void()>& task) {
    ASSERT_TRUE(onViewer([&] {
        Console::redirect(&sink, nullptr, TextEncoding::Utf8);
        task();
    }));
}

TEST_F(WindowPictureTest, RecordKeyWritesEveryDrawnFrameAtTheCapsPaceIntoANewFolder) {
    testing::TempDir dir;
    StringSink console;
    std::uint64_t framesBefore = 0;
    std::uint64_t framesAfter = 0;
    std::string text;
    {
        const testing::WorkingDirectory inDir(dir.path());
        withConsoleOn(console, [&] {
            handleKey(viewerState(), kRecordKey);
            framesBefore = lastFrame().frameCount;
        });
        // The scene stands still, yet frames keep coming while recording.
        EXPECT_TRUE(waitForFrameCount(framesBefore + 3, std::chrono::seconds(60)));
        withConsoleOn(console, [&] {
            framesAfter = lastFrame().frameCount;
            handleKey(viewerState(), 'V');
        });
        // The totals come once the last frame is written.
        for (int tries = 0; tries < 3000 && text.find("録画を終了しました") == std::string::npos;
             ++tries) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            ASSERT_TRUE(onViewer([&] { text = console.text(); }));
        }
        ASSERT_TRUE(onViewer([] { Console::redirect(nullptr, nullptr); }));
    }

    const std::regex expected(
        "録画を開始しました: (pelorin-[0-9]{8}-[0-9]{6})/ \\(毎秒最大 60 フレーム\\)\n"
        "録画を終了しました: \\1/ : 保存したフレーム ([0-9]+)、落としたフレーム ([0-9]+)\n");
    std::smatch match;
    ASSERT_TRUE(std::regex_match(text, match, expected)) << text;
    const std::string folder = dir.file(match[1]);
    const std::uint64_t written = std::stoull(match[2]);
    const std::uint64_t dropped = std::stoull(match[3]);
    EXPECT_EQ(written + dropped, framesAfter - framesBefore);
    EXPECT_GE(written, 3U);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}),
              static_cast<std::ptrdiff_t>(written));
    // Every file is a whole frame of the still scene, as the window shows it.
    const FrameImage shown = captureFrame();
    for (std::uint64_t n = 1; n <= written; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "/frame-%06llu.png", static_cast<unsigned long long>(n));
        std::string error;
        const FrameImage frame = testing::readPng(folder + name, &error);
        ASSERT_EQ(frame.width, ViewerState::kWindowSize) << error;
        EXPECT_TRUE(frame.rgb == shown.rgb) << name;
    }
}

}  // namespace
}  // namespace pelorin
