// Reading an STL file from disk: decides between binary and ASCII and feeds the right reader.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "render/StlLoadResult.h"
#include "render/Triangle.h"

namespace pelorin {

// Appends the facets of the file at `path` to `triangles`. A file of exactly 84 + 50 n bytes
// (n the count at bytes 80..83) is read as binary STL; any other file as ASCII STL, except one
// with a NUL byte in its first 84 bytes, which is a cut-short binary file and is refused
// (TruncatedBinary with both sizes). On CannotOpen and TruncatedBinary nothing is appended and
// `solidName` is untouched. A read error part-way ends the reading like the end of the file.
// The file is read in large blocks; memory beyond the triangles stays small and constant.
// `solidName` receives the name of the last named "solid" line of an ASCII file.
StlLoadResult readStlFile(const std::string& path, std::vector<Triangle>& triangles,
                          std::optional<std::string>& solidName);

}  // namespace pelorin
