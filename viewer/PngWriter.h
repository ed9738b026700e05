// Writing a frame to a new PNG file (8-bit RGB) with libpng.
#pragma once

#include <string>

#include "viewer/FrameImage.h"

namespace pelorin {

// Creates the file `path` and writes `image` into it. Never replaces an existing file.
// Returns false when the image is empty or inconsistent, the file exists or cannot be
// created, or writing fails; `reason` (when given) then holds the system's or libpng's
// explanation in ASCII. A file this call created but could not finish is removed.
bool writePng(const std::string& path, const FrameImage& image, std::string* reason = nullptr);

}  // namespace pelorin
