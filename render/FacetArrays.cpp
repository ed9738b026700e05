#include "render/FacetArrays.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace pelorin {
namespace {

// The facet's vertices in the order GL draws a three-vertex polygon as a triangle.
constexpr int kPolygonAsTriangle[3] = {1, 2, 0};
constexpr GLsizei kVertexStride = 6 * sizeof(float);
constexpr std::size_t kNormalBytes = 3 * sizeof(float);
// Facets per glDrawArrays call, so a vertex count always fits a GLsizei however big the mesh.
constexpr std::size_t kFacetsPerDrawCall = std::size_t{1} << 24;

}  // namespace

void layOutFacets(const Triangle* facets, std::size_t count, float* out) {
    for (std::size_t f = 0; f < count; ++f) {
        const Triangle& t = facets[f];
        for (const int v : kPolygonAsTriangle) {
            std::memcpy(out, t.normal, 3 * sizeof(float));
            std::memcpy(out + 3, t.vertex[v], 3 * sizeof(float));
            out += 6;
        }
    }
}

void drawLaidOutFacets(std::uintptr_t start, std::size_t count) {
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    for (std::size_t first = 0; first < count; first += kFacetsPerDrawCall) {
        const std::size_t facets = std::min(kFacetsPerDrawCall, count - first);
        const std::uintptr_t batch = start + first * kArrayBytesPerFacet;
        glNormalPointer(GL_FLOAT, kVertexStride, reinterpret_cast<const void*>(batch));
        glVertexPointer(3, GL_FLOAT, kVertexStride,
                        reinterpret_cast<const void*>(batch + kNormalBytes));
        glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(facets * 3));
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
}

void drawFacetsFromClientArrays(const Triangle* facets, std::size_t count) {
    // Kept between frames: allocating it per mesh and frame would cost more than the copy.
    thread_local std::vector<float> scratch(kFacetsPerScratch * kArrayFloatsPerFacet);
    for (std::size_t first = 0; first < count; first += kFacetsPerScratch) {
        const std::size_t n = std::min(kFacetsPerScratch, count - first);
        layOutFacets(facets + first, n, scratch.data());
        drawLaidOutFacets(reinterpret_cast<std::uintptr_t>(scratch.data()), n);
    }
}

}  // namespace pelorin
