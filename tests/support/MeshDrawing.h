// What the tests and the frame benchmark need around meshes: made-up shapes and their STL files,
// the GL state the viewer draws under, the per-facet way meshes were drawn before buffers, and
// reading pixels.
//
// The per-facet way is kept here as the reference that the drawing code must match pixel for
// pixel: one normal and one GL_POLYGON of three vertices per facet, after one material call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "mesh/Triangle.h"
#include "scene/Geometry.h"

namespace pelorin::testing {

// A closed sphere of `rings` x `segments` quads (two facets each, fewer at the poles' fans: a
// ring of triangles there), centred at the origin, facets turned outwards with their own normals.
std::vector<Triangle> sphereMesh(int rings, int segments, float radius);
// A square grid of cells x cells quads (two facets each) from (-half, -half) to (half, half),
// its height z = amplitude * sin(x / wave) * cos(y / wave), every facet facing +Z.
std::vector<Triangle> wavyGrid(int cells, float half, float amplitude, float wave);
// `layers` flat grids of cells x cells quads over the same square, one above the other along Z
// from z = 0 in steps of `gap`, all facing +Z: many facets that each cover many pixels.
std::vector<Triangle> stackedGrids(int layers, int cells, float half, float gap);
// A closed box from `low` to `high` (x, y, z), facets turned outwards.
std::vector<Triangle> boxMesh(const Vec3& low, const Vec3& high);
// `count` facets with coordinates that are exact floats, so ASCII and binary hold the same mesh.
std::vector<Triangle> randomMesh(std::size_t count, unsigned seed);

struct AsciiStyle {
    std::string lineEnd = "\n";
    std::string indent = "  ";  // per nesting level
};
std::string toAsciiStl(const std::vector<Triangle>& mesh, const std::string& name,
                       const AsciiStyle& style = {});
std::string toBinaryStl(const std::vector<Triangle>& mesh, const std::string& header);

// The viewer's lighting, depth test, culling and shading (a light at (5000, 5000, 5000)), with
// an orthographic projection of half-width `half` model units and the model-view reset.
void setUpViewerGlState(double half);
// Clears colour and depth to black and the far plane.
void clearFrame();
// The per-facet drawing described above, in the current frame.
void drawFacetsOneByOne(const Triangle* facets, std::size_t count, const float* rgb);
// The RGBA pixels of the current read buffer, bottom row first.
std::vector<std::uint8_t> readPixels(int width, int height);

// How far two pictures of the same size are apart.
struct PixelDifference {
    std::size_t bytes = 0;   // bytes that differ
    std::size_t pixels = 0;  // pixels with any differing byte
    int largest = 0;         // the largest difference of one byte
};
PixelDifference comparePixels(const std::vector<std::uint8_t>& a,
                              const std::vector<std::uint8_t>& b);

}  // namespace pelorin::testing
