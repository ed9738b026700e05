#include "viewer/PngWriter.h"

#include <png.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <thread>

namespace pelorin {
namespace {

bool fail(std::string* reason, const std::string& text) {
    if (reason != nullptr) *reason = text;
    return false;
}

bool encode(std::FILE* file, const FrameImage& image, PngCompression compression,
            std::string* reason) {
    png_image info;
    std::memset(&info, 0, sizeof info);
    info.version = PNG_IMAGE_VERSION;
    if (compression == PngCompression::Fast) info.flags = PNG_IMAGE_FLAG_FAST;
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

bool writePng(const std::string& path, const FrameImage& image, std::string* reason,
              PngCompression compression) {
    const std::size_t expected = static_cast<std::size_t>(image.width) * image.height * 3;
    if (image.width <= 0 || image.height <= 0 || image.rgb.size() != expected) {
        return fail(reason, "empty or inconsistent image");
    }
    // "x": exclusive creation, so an existing file is never overwritten or removed.
    std::FILE* file = std::fopen(path.c_str(), "wbx");
    if (file == nullptr) return fail(reason, std::strerror(errno));
    bool written = encode(file, image, compression, reason);
    if (std::fclose(file) != 0 && written) written = fail(reason, std::strerror(errno));
    if (!written) std::remove(path.c_str());
    return written;
}

bool replacePng(const std::string& path, const FrameImage& image, std::string* reason,
                PngCompression compression) {
    // A name of its own for this process and thread: a thread writes one file at a time, so two
    // writers never share the new file.
    const std::size_t thread = std::hash<std::thread::id>{}(std::this_thread::get_id());
    const std::string partial =
        path + ".part-" + std::to_string(getpid()) + "-" + std::to_string(thread);
    if (!writePng(partial, image, reason, compression)) return false;
    if (std::rename(partial.c_str(), path.c_str()) == 0) return true;
    const std::string why = std::strerror(errno);
    std::remove(partial.c_str());
    return fail(reason, why);
}

}  // namespace pelorin
