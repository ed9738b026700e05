// The outcome of reading an STL file, for the caller that reports it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "scene/Geometry.h"

namespace pelorin {

enum class StlLoadStatus {
    Ok,
    CannotOpen,       // the file does not open
    NotRegularFile,   // a FIFO, directory, device or socket, refused without reading
    TruncatedBinary,  // binary, but shorter than its facet count says
    LineTooLong,      // ASCII with a line longer than kMaxLineBytes
    OutOfMemory,      // the mesh could not get the memory for its facets
};

// What a file that gave no facet looks like, so that the user learns why a part is invisible.
// An ASCII solid that says it is empty ("solid" ... "endsolid" and nothing between) is None.
enum class StlNoFacets {
    None,        // facets were read, or the file is an explicit empty solid
    EmptyFile,   // no bytes, or blanks and line ends only
    LfsPointer,  // a Git LFS pointer left where the mesh should be
    Xml,         // an XML document (a COLLADA mesh named .stl, say)
    Text,        // text without facets
    Binary,      // binary STL that counts no facets
};

// On any status but Ok the mesh is as it was before the read.
struct StlLoadResult {
    StlLoadStatus status = StlLoadStatus::Ok;
    // Ok: a binary file longer than its facets need, read as binary all the same.
    bool paddedBinary = false;
    // Ok: what the file is when it gave no facet.
    StlNoFacets noFacets = StlNoFacets::None;
    // TruncatedBinary and paddedBinary: 84 + 50 * count (84 when even the header is cut), and
    // the file's size in bytes.
    std::uintmax_t expectedSize = 0;
    std::uintmax_t actualSize = 0;
    std::size_t line = 0;       // LineTooLong: the line, counted from 1
    std::uintmax_t facets = 0;  // OutOfMemory: the binary count, or the facets of an ASCII file
                                // read before memory ran out
    // Ok: the box around the finite vertices of the facets read (mesh/FacetBounds.h), worked out
    // while they were read, as a pass of its own over a big mesh costs as much as its reading.
    Box3 bounds;
};

}  // namespace pelorin
