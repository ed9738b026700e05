// Reading STL, from a file or from memory: decides between binary and ASCII and feeds the right
// reader.
//
// The decision, in this order: a file of exactly 84 + 50 n bytes (n the little-endian count at
// bytes 80..83) is binary, whatever its header says, since many exporters begin a binary header
// with "solid". Otherwise a file that reads as ASCII STL is ASCII: one that holds no NUL byte,
// or in which the ASCII grammar finds a facet. Otherwise the file is binary after all: one longer
// than 84 + 50 n (exporters pad) gives its n facets and says so in `paddedBinary`; a shorter one
// is refused as TruncatedBinary.
//
// A file that gives no facet still loads, and `noFacets` in the result says what it looks like
// (empty, a Git LFS pointer, XML, text or binary without facets), unless it is an ASCII solid
// that says it is empty.
//
// Facets are appended to `triangles`; on any failure the mesh is left as it was and `solidName`
// is untouched. `solidName` receives the name of the last named "solid" line of an ASCII file.
// Memory follows the facets actually read: lines are bounded (kMaxLineBytes) and the mesh grows
// as records arrive, so neither a missing line end nor a count that the bytes do not back can
// make the reader take more. Only a binary file of exactly its count's size has the room for all
// its facets taken at once, since its bytes back the count. A read error part-way ends the input
// like the end of the file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "mesh/StlLoadResult.h"
#include "mesh/TriangleArray.h"
#include "util/InputFile.h"

namespace pelorin {

// The file at `path`; a FIFO, directory, device or socket is refused without being read.
StlLoadResult readStlFile(const std::string& path, TriangleArray& triangles,
                          std::optional<std::string>& solidName);

// STL held in memory, read exactly as a file of the same bytes would be (fuzz targets, tests).
StlLoadResult readStlBytes(std::string_view bytes, TriangleArray& triangles,
                           std::optional<std::string>& solidName);

// STL of `size` bytes from `source`, which stands at its first byte and can go back to it.
StlLoadResult readStl(ByteSource& source, std::uintmax_t size, TriangleArray& triangles,
                      std::optional<std::string>& solidName);

}  // namespace pelorin
