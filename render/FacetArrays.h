// Facets laid out for OpenGL's vertex arrays, and drawing them from such arrays.
//
// Each facet becomes three vertices, each its facet's normal followed by its position (three
// floats each, 24 bytes a vertex, 72 a facet), drawn as GL_TRIANGLES: the same normals and
// winding as one GL_POLYGON per facet. The vertices go in the order 1, 2, 0 of the facet, the
// triangle GL makes of a three-vertex polygon (a polygon's first vertex is its provoking vertex,
// a triangle's last), so the interpolated colours come out the same to the last bit.
#pragma once

#include <cstddef>
#include <cstdint>

#include "mesh/Triangle.h"

namespace pelorin {

inline constexpr std::size_t kArrayFloatsPerFacet = 18;
inline constexpr std::size_t kArrayBytesPerFacet = kArrayFloatsPerFacet * sizeof(float);
// Facets laid out at a time when arrays are filled through scratch memory: 288 KiB of floats.
inline constexpr std::size_t kFacetsPerScratch = 4096;

// Writes the layout of `count` facets to `out` (count * kArrayFloatsPerFacet floats).
void layOutFacets(const Triangle* facets, std::size_t count, float* out);

// Draws `count` facets laid out from `start`: the address of client memory, or a byte offset
// into the GL_ARRAY_BUFFER bound now (GL takes both through the same pointer argument). Enables
// the normal and vertex arrays and disables them again. GL thread.
void drawLaidOutFacets(std::uintptr_t start, std::size_t count);

// Draws `count` facets from client-side arrays, laying them out kFacetsPerScratch at a time in
// scratch memory kept by the calling thread, so no copy of the whole mesh is ever held. GL thread.
void drawFacetsFromClientArrays(const Triangle* facets, std::size_t count);

}  // namespace pelorin
