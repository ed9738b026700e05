// pelorin-snapshot as a user runs it, on a machine without a display.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/RunWithoutDisplay.h"
#include "tests/support/SpecialFiles.h"
#include "tests/support/TempDir.h"
#include "tests/viewer/PngReader.h"
#include "tools/snapshot/SnapshotOptions.h"

namespace pelorin {
namespace {

using testing::RunResult;

RunResult snapshot(const std::string& arguments, const std::string& dir) {
    return testing::runWithoutDisplay(PELORIN_SNAPSHOT, arguments, dir);
}

void copyGripperArm(const testing::TempDir& dir) {
    std::filesystem::copy(std::string(PELORIN_SOURCE_DIR) + "/samples/gripper-arm", dir.path());
}

FrameImage picture(const testing::TempDir& dir, const std::string& name) {
    std::string error;
    FrameImage image = testing::readPng(dir.file(name), &error);
    EXPECT_GT(image.width, 0) << error;
    return image;
}

int countNonBlack(const FrameImage& image) {
    int count = 0;
    for (std::size_t i = 0; i + 2 < image.rgb.size(); i += 3) {
        count += image.rgb[i] + image.rgb[i + 1] + image.rgb[i + 2] > 30 ? 1 : 0;
    }
    return count;
}

TEST(SnapshotToolTest, CommandLinesAreReadOrRefusedWithTheArgumentNamed) {
    const auto parse = [](std::vector<const char*> args, SnapshotOptions& options,
                          SnapshotOptionError& error) {
        args.insert(args.begin(), "pelorin-snapshot");
        return parseSnapshotOptions(static_cast<int>(args.size()), args.data(), options, error);
    };
    SnapshotOptions options;
    SnapshotOptionError error;
    // Files, --values and --size are read as the program run below shows; here the rest.
    ASSERT_TRUE(parse({"--fit", "a.txt", "--values", "1.5, -2,3e1", "b.png", "--size", "640X360"},
                      options, error));
    EXPECT_EQ(options.values, (std::vector<double>{1.5, -2.0, 30.0}));
    EXPECT_EQ(options.height, 360);
    EXPECT_TRUE(options.fit);

    struct Bad {
        std::vector<const char*> args;
        std::string argument;
    };
    for (const Bad& bad : std::vector<Bad>{
             {{"a.txt"}, ""},
             {{"a.txt", "b.png", "--values", "1,,2"}, ""},
             {{"a.txt", "b.png", "--values", "1,2x"}, "2x"},
             {{"a.txt", "b.png", "--values", "nan"}, "nan"},
             {{"a.txt", "b.png", "--values"}, "--values"},
             {{"a.txt", "b.png", "--size", "800"}, "800"},
             {{"a.txt", "b.png", "--size", "0x10"}, "0x10"},
             {{"a.txt", "b.png", "--size", "8193x1"}, "8193x1"},
             {{"a.txt", "b.png", "--size", "8192x8192"}, "8192x8192"},  // too many pixels
             {{"a.txt", "b.png", "--zoom"}, "--zoom"},
         }) {
        SnapshotOptions o;
        SnapshotOptionError e;
        EXPECT_FALSE(parse(bad.args, o, e)) << bad.argument;
        EXPECT_EQ(e.argument, bad.argument);
        EXPECT_FALSE(e.message.empty());
    }
}

TEST(SnapshotToolTest, DrawsThePosedSampleWithoutADisplay) {
    testing::TempDir dir;
    copyGripperArm(dir);
    const RunResult posed = snapshot("gripper-arm.txt posed.png --values 30,60,90", dir.path());
    ASSERT_EQ(posed.status, 0) << posed.output;
    EXPECT_NE(posed.output.find("画像を保存しました: posed.png\n"), std::string::npos)
        << posed.output;
    // The file's own values, given in order, change nothing; other values move the arm.
    ASSERT_EQ(snapshot("gripper-arm.txt own.png --values 0,20,40,0,-100,100", dir.path()).status,
              0);
    ASSERT_EQ(snapshot("gripper-arm.txt plain.png", dir.path()).status, 0);
    const FrameImage plain = picture(dir, "plain.png");
    EXPECT_EQ(plain.width, 800);
    EXPECT_EQ(plain.height, 800);
    EXPECT_GT(countNonBlack(plain), 5000);
    EXPECT_TRUE(picture(dir, "own.png").rgb == plain.rgb);
    EXPECT_FALSE(picture(dir, "posed.png").rgb == plain.rgb);

    // Another size; an existing output file is replaced.
    const RunResult small = snapshot("--size 320x200 gripper-arm.txt plain.png", dir.path());
    ASSERT_EQ(small.status, 0) << small.output;
    const FrameImage replaced = picture(dir, "plain.png");
    EXPECT_EQ(replaced.width, 320);
    EXPECT_EQ(replaced.height, 200);
}

// Unreadable setting files give the check tool's messages; bad command lines the usage.
TEST(SnapshotToolTest, RefusalsExitWithTheirStatusAndWriteNoPicture) {
    testing::TempDir dir;
    copyGripperArm(dir);
    std::ofstream(dir.file("broken.txt")) << "BEGIN PARTS = ROOT\nEND CHILD\n";
    // A FIFO is refused at once; the unblocker turns a wait for a writer into a failure.
    ASSERT_TRUE(testing::makeFifo(dir.file("fifo.txt")));
    const testing::FifoUnblocker unblocker(dir.file("fifo.txt"), std::chrono::seconds(2));
    for (const std::string file : {"broken.txt", "missing.txt", "fifo.txt"}) {
        const RunResult check = testing::runWithoutDisplay(PELORIN_CHECK, file, dir.path());
        const RunResult shot = snapshot(file + " out.png", dir.path());
        EXPECT_EQ(check.status, 1) << check.output;
        EXPECT_EQ(shot.status, 1);
        EXPECT_EQ(shot.output, check.output);
    }
    const RunResult usage = snapshot("gripper-arm.txt out.png --size 10", dir.path());
    EXPECT_EQ(usage.status, 2);
    EXPECT_EQ(usage.output.rfind("pelorin-snapshot: --size は", 0), 0U) << usage.output;
    EXPECT_NE(usage.output.find("使い方: pelorin-snapshot"), std::string::npos);

    const RunResult tooMany =
        snapshot("gripper-arm.txt out.png --values 1,2,3,4,5,6,7", dir.path());
    EXPECT_EQ(tooMany.status, 1);
    EXPECT_NE(tooMany.output.find("値が多すぎます: 値テーブルは 6 個、--values は 7 個\n"),
              std::string::npos)
        << tooMany.output;
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.png")));

    const RunResult help = snapshot("--help", dir.path());
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.output.rfind("使い方: pelorin-snapshot", 0), 0U);
}

}  // namespace
}  // namespace pelorin
