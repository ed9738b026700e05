#include "render/MeshBuffers.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "mesh/DrawnObjectBySTL.h"
#include "render/FacetArrays.h"

namespace pelorin {
namespace {

// Buffer objects are core from OpenGL 1.5 on.
constexpr int kBufferObjectsMajor = 1;
constexpr int kBufferObjectsMinor = 5;

bool versionAtLeast(const char* version, int major, int minor) {
    int haveMajor = 0;
    int haveMinor = 0;
    if (version == nullptr || std::sscanf(version, "%d.%d", &haveMajor, &haveMinor) != 2) {
        return false;
    }
    return haveMajor > major || (haveMajor == major && haveMinor >= minor);
}

// The material call takes RGBA; blending is never enabled, so alpha has no visible effect.
constexpr float kOpaque = 1.0F;

// The mesh's one material call: its colour as the front faces' diffuse colour.
void applyMaterial(const DrawnObjectBySTL& mesh) {
    const float* colour = mesh.getColor();
    const float rgba[4] = {colour[0], colour[1], colour[2], kOpaque};
    glMaterialfv(GL_FRONT, GL_DIFFUSE, rgba);
}

void drawFromClientArrays(const DrawnObjectBySTL& mesh) {
    applyMaterial(mesh);
    drawFacetsFromClientArrays(mesh.triangles().data(), mesh.triangles().size());
}

void discardGlErrors() {
    while (glGetError() != GL_NO_ERROR) {
    }
}

}  // namespace

bool MeshBuffers::bufferObjectsAvailable() {
    if (bufferObjects_ == Support::Unknown) {
        const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
        const bool available = storage_ == Storage::BufferObjects &&
                               versionAtLeast(version, kBufferObjectsMajor, kBufferObjectsMinor);
        bufferObjects_ = available ? Support::Yes : Support::No;
    }
    return bufferObjects_ == Support::Yes;
}

MeshBuffers::Buffer MeshBuffers::makeBuffer(const Triangle* facets, std::size_t count) {
    Buffer buffer{0, facets, count};
    GLuint name = 0;
    glGenBuffers(1, &name);
    glBindBuffer(GL_ARRAY_BUFFER, name);
    // Errors left by earlier calls must not pass for a failure here.
    discardGlErrors();
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(count * kArrayBytesPerFacet), nullptr,
                 GL_STATIC_DRAW);
    if (glGetError() != GL_NO_ERROR) {
        // Too big for the GL's memory: this mesh is drawn from client arrays instead.
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glDeleteBuffers(1, &name);
        return buffer;
    }
    std::vector<float> scratch(std::min(count, kFacetsPerScratch) * kArrayFloatsPerFacet);
    for (std::size_t first = 0; first < count; first += kFacetsPerScratch) {
        const std::size_t n = std::min(kFacetsPerScratch, count - first);
        layOutFacets(facets + first, n, scratch.data());
        glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(first * kArrayBytesPerFacet),
                        static_cast<GLsizeiptr>(n * kArrayBytesPerFacet), scratch.data());
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    buffer.name = name;
    return buffer;
}

void MeshBuffers::draw(const DrawnObjectBySTL& mesh) {
    const auto& facets = mesh.triangles();
    if (facets.empty() || !bufferObjectsAvailable()) {
        drawFromClientArrays(mesh);
        return;
    }
    Buffer& buffer = buffers_[&mesh];
    if (buffer.facets != facets.data() || buffer.count != facets.size()) {
        if (buffer.name != 0) glDeleteBuffers(1, &buffer.name);
        buffer = makeBuffer(facets.data(), facets.size());
    }
    if (buffer.name == 0) {
        drawFromClientArrays(mesh);
        return;
    }
    applyMaterial(mesh);
    glBindBuffer(GL_ARRAY_BUFFER, buffer.name);
    drawLaidOutFacets(0, buffer.count);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void MeshBuffers::release() {
    for (auto& entry : buffers_) {
        if (entry.second.name != 0) glDeleteBuffers(1, &entry.second.name);
    }
    buffers_.clear();
    bufferObjects_ = Support::Unknown;
}

std::size_t MeshBuffers::bufferBytes() const {
    std::size_t bytes = 0;
    for (const auto& entry : buffers_) {
        if (entry.second.name != 0) bytes += entry.second.count * kArrayBytesPerFacet;
    }
    return bytes;
}

}  // namespace pelorin
