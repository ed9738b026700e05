// Reads a PNG file back into a frame image (tests only), with libpng's simplified API.
#pragma once

#include <png.h>

#include <cstring>
#include <string>

#include "viewer/FrameImage.h"

namespace pelorin::testing {

// An empty image (width 0) when the file is missing or not a PNG; `error` says why.
inline FrameImage readPng(const std::string& path, std::string* error) {
    FrameImage image;
    png_image info;
    std::memset(&info, 0, sizeof info);
    info.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&info, path.c_str()) == 0) {
        *error = path + ": " + info.message;
        return image;
    }
    info.format = PNG_FORMAT_RGB;
    image.rgb.resize(PNG_IMAGE_SIZE(info));
    if (png_image_finish_read(&info, nullptr, image.rgb.data(), 0, nullptr) == 0) {
        *error = path + ": " + info.message;
        image.rgb.clear();
        return image;
    }
    image.width = static_cast<int>(info.width);
    image.height = static_cast<int>(info.height);
    return image;
}

}  // namespace pelorin::testing
