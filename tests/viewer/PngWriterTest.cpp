#include "viewer/PngWriter.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "tests/support/TempDir.h"
#include "tests/viewer/PngReader.h"

namespace pelorin {
namespace {

FrameImage gradient(int width, int height) {
    FrameImage image;
    image.width = width;
    image.height = height;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.rgb.push_back(static_cast<std::uint8_t>(x * 7));
            image.rgb.push_back(static_cast<std::uint8_t>(y * 11));
            image.rgb.push_back(static_cast<std::uint8_t>((x + y) * 3));
        }
    }
    return image;
}

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(PngWriterTest, WrittenFileReadsBackPixelForPixel) {
    testing::TempDir dir;
    const FrameImage image = gradient(37, 23);  // odd width: rows are not 4-byte aligned
    std::string reason;
    ASSERT_TRUE(writePng(dir.file("a.png"), image, &reason)) << reason;
    std::string error;
    const FrameImage back = testing::readPng(dir.file("a.png"), &error);
    ASSERT_EQ(back.width, 37) << error;
    EXPECT_EQ(back.height, 23);
    EXPECT_EQ(back.rgb, image.rgb);
}

TEST(PngWriterTest, NeverReplacesAnExistingFile) {
    testing::TempDir dir;
    const std::string path = dir.file("taken.png");
    std::ofstream(path) << "keep me";
    std::string reason;
    EXPECT_FALSE(writePng(path, gradient(4, 4), &reason));
    EXPECT_EQ(reason, "File exists");
    EXPECT_EQ(contents(path), "keep me");
}

TEST(PngWriterTest, ReplacingSwapsInAWholeFileOrKeepsTheOldOne) {
    testing::TempDir dir;
    const std::string path = dir.file("out.png");
    std::ofstream(path) << "old";
    std::string reason;
    ASSERT_TRUE(replacePng(path, gradient(5, 3), &reason)) << reason;
    std::string error;
    EXPECT_EQ(testing::readPng(path, &error).rgb, gradient(5, 3).rgb) << error;
    FrameImage broken = gradient(5, 3);
    broken.rgb.pop_back();
    EXPECT_FALSE(replacePng(path, broken, &reason));
    EXPECT_EQ(testing::readPng(path, &error).rgb, gradient(5, 3).rgb) << error;
    // No partly written file is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(PngWriterTest, RefusesBadImagesAndMissingDirectories) {
    testing::TempDir dir;
    std::string reason;
    FrameImage shortImage = gradient(4, 4);
    shortImage.rgb.pop_back();
    EXPECT_FALSE(writePng(dir.file("short.png"), shortImage, &reason));
    EXPECT_EQ(reason, "empty or inconsistent image");
    EXPECT_FALSE(writePng(dir.file("empty.png"), FrameImage{}, &reason));
    EXPECT_FALSE(std::filesystem::exists(dir.file("short.png")));
    EXPECT_FALSE(writePng(dir.file("no/such/dir.png"), gradient(2, 2), &reason));
    EXPECT_EQ(reason, "No such file or directory");
}

}  // namespace
}  // namespace pelorin
