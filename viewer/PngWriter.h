// Writing a frame to a new PNG file (8-bit RGB) with libpng.
#pragma once

#include <string>

#include "viewer/FrameImage.h"

namespace pelorin {

// How hard libpng works at making the file small: Small for single pictures, Fast for frames
// that arrive many times a second.
enum class PngCompression { Small, Fast };

// Creates the file `path` and writes `image` into it. Never replaces an existing file.
// Returns false when the image is empty or inconsistent, the file exists or cannot be
// created, or writing fails; `reason` (when given) then holds the system's or libpng's
// explanation in ASCII. A file this call created but could not finish is removed.
bool writePng(const std::string& path, const FrameImage& image, std::string* reason = nullptr,
              PngCompression compression = PngCompression::Small);

// Writes `image` to `path`, replacing a file of that name, through a new file beside it that is
// renamed over `path` once complete: `path` never holds a half-written picture. Same results and
// reasons as writePng.
bool replacePng(const std::string& path, const FrameImage& image, std::string* reason = nullptr,
                PngCompression compression = PngCompression::Small);

}  // namespace pelorin
