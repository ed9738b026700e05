// Draws a Parts tree with OpenGL in one GL context: each drawn object under its pose
// (scene/PartsPose.h), the poses worked out again only when the scene revision moves, and meshes
// from the context's buffer objects (render/MeshBuffers.h).
#pragma once

#include <cstdint>

#include "render/MeshBuffers.h"
#include "scene/PosedScene.h"

namespace pelorin {

class Parts;

class SceneDrawer {
  public:
    explicit SceneDrawer(MeshBuffers::Storage storage = MeshBuffers::Storage::BufferObjects)
        : meshes_(storage) {}

    // Draws every drawn object under `root`, in the tree's order, each with its pose multiplied
    // onto the model-view matrix in effect; the matrix is left as it was found. `revision` is
    // the scene revision read before this frame began (scene/SceneRevision.h). A mesh's buffer
    // is made the first time it is drawn. Thread that owns the GL context; allocates nothing
    // while the revision stays and no mesh is new.
    void draw(const Parts& root, std::uint64_t revision);
    // Frees the GL objects made by draw, with the context still current (before the window
    // goes). A later draw makes them again.
    void releaseGl() { meshes_.release(); }

    const MeshBuffers& meshes() const { return meshes_; }

  private:
    PosedScene poses_;
    MeshBuffers meshes_;
};

}  // namespace pelorin
