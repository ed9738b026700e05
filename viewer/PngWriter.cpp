#include "viewer/PngWriter.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace pelorin {
namespace {

bool fail(std::string* reason, const std::string& text) {
    if (reason != nullptr) *reason = text;
    return false;
}

bool encode(std::FILE* file, const FrameImage& image, std::string* reason) {
    png_image info;
    std::memset(&info, 0, sizeof info);
    info.version = PNG_IMAGE_VERSION;
    info.width = static_cast<png_uint_32>(image.width);
    info.height = static_cast<png_uint_32>(image.height);
    info.format = PNG_FORMAT_RGB;
    // The simplified API reports failures in `info.message` instead of jumping out, so no
    // longjmp crosses C++ objects here.
    if (png_image_write_to_stdio(&info, file, 0, image.rgb.data(), image.width * 3, nullptr) != 0) {
        return true;
    }
    const std::string message = info.message;
    png_image_free(&info);
    return fail(reason, message);
}

}  // namespace

bool writePng(const std::string& path, const FrameImage& image, std::string* reason) {
    const std::size_t expected = static_cast<std::size_t>(image.width) * image.height * 3;
    if (image.width <= 0 || image.height <= 0 || image.rgb.size() != expected) {
        return fail(reason, "empty or inconsistent image");
    }
    // "x": exclusive creation, so an existing file is never overwritten or removed.
    std::FILE* file = std::fopen(path.c_str(), "wbx");
    if (file == nullptr) return fail(reason, std::strerror(errno));
    bool written = encode(file, image, reason);
    if (std::fclose(file) != 0 && written) written = fail(reason, std::strerror(errno));
    if (!written) std::remove(path.c_str());
    return written;
}

}  // namespace pelorin
