// Draws a Parts tree with OpenGL in one GL context: each drawn object under its pose
// (scene/PartsPose.h) from one snapshot of the tree's values, the poses worked out again only
// when the values move, and meshes from the context's buffer objects (render/MeshBuffers.h).
#pragma once

#include "render/MeshBuffers.h"
#include "scene/PosedScene.h"

namespace pelorin {

class LiveValues;
class Parts;

class SceneDrawer {
  public:
    explicit SceneDrawer(MeshBuffers::Storage storage = MeshBuffers::Storage::BufferObjects)
        : meshes_(storage) {}

    // Draws every drawn object under `root`, in the tree's order, each with its pose under the
    // current set of `values` (null: the file's values; see PosedScene) multiplied onto the
    // model-view matrix in effect; the matrix is left as it was found. A mesh's buffer is made
    // the first time it is drawn. Thread that owns the GL context; allocates nothing once no
    // mesh is new.
    void draw(const Parts& root, const LiveValues* values);
    // Frees the GL objects made by draw, with the context still current (before the window
    // goes). A later draw makes them again.
    void releaseGl() { meshes_.release(); }

    const MeshBuffers& meshes() const { return meshes_; }

  private:
    PosedScene poses_;
    MeshBuffers meshes_;
};

}  // namespace pelorin
