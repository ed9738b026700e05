// The pixels of one frame: 8-bit RGB, rows from the top of the window down (the order of
// GLUT's window coordinates and of PNG files).
#pragma once

#include <cstdint>
#include <vector>

namespace pelorin {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
};

struct FrameImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // width * height * 3 bytes

    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    // (x, y) must be inside the image.
    Rgb at(int x, int y) const {
        const std::size_t offset = (static_cast<std::size_t>(y) * width + x) * 3;
        return {rgb[offset], rgb[offset + 1], rgb[offset + 2]};
    }
};

}  // namespace pelorin
