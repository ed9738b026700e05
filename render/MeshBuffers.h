// The GL copies of meshes for one GL context: each mesh in a vertex buffer object made the first
// time it is drawn, or drawn from client-side arrays when the context has no buffer objects
// (OpenGL before 1.5) or could not hold the mesh.
//
// A buffer holds the layout of render/FacetArrays.h, 72 bytes a facet, in the GL's memory; the
// facets are laid out through bounded scratch memory, never as a second whole copy in ours.
// Everything here runs on the thread whose context is current, and the same context must be
// current for every call on one object.
#pragma once

#include <cstddef>
#include <unordered_map>

#include "mesh/Triangle.h"

namespace pelorin {

class DrawnObjectBySTL;

class MeshBuffers {
  public:
    enum class Storage {
        BufferObjects,  // buffer objects where the context offers them, client arrays otherwise
        ClientArrays,   // client arrays always
    };

    explicit MeshBuffers(Storage storage = Storage::BufferObjects) : storage_(storage) {}
    // Does not free GL objects (the context may be gone by then): call release() first.
    ~MeshBuffers() = default;
    MeshBuffers(const MeshBuffers&) = delete;
    MeshBuffers& operator=(const MeshBuffers&) = delete;

    // Draws `mesh` in its colour in the current frame as GL_TRIANGLES (render/FacetArrays.h),
    // after one material call (its colour as the front faces' diffuse colour), from its buffer,
    // which is made (or made again, when the mesh's facets have changed) on the way.
    void draw(const DrawnObjectBySTL& mesh);
    // Frees every buffer; the next draw makes them again.
    void release();

    // Whether draw uses buffer objects in the current context (known after the first draw).
    bool usesBufferObjects() const { return bufferObjects_ == Support::Yes; }
    // Bytes held in buffer objects.
    std::size_t bufferBytes() const;

  private:
    enum class Support { Unknown, Yes, No };

    struct Buffer {
        unsigned name = 0;                 // 0: no buffer, draw from client arrays
        const Triangle* facets = nullptr;  // the facets it was made from
        std::size_t count = 0;
    };

    bool bufferObjectsAvailable();
    // A buffer object holding the layout of `count` facets; name 0 when the GL cannot hold it.
    static Buffer makeBuffer(const Triangle* facets, std::size_t count);

    Storage storage_;
    Support bufferObjects_ = Support::Unknown;
    std::unordered_map<const DrawnObjectBySTL*, Buffer> buffers_;
};

}  // namespace pelorin
