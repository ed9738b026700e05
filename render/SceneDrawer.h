// Draws a Parts tree with OpenGL: each drawn object under its pose (scene/PartsPose.h), the
// poses worked out again only when the scene revision moves.
#pragma once

#include <cstdint>

#include "scene/PosedScene.h"

namespace pelorin {

class Parts;

class SceneDrawer {
  public:
    // Draws every drawn object under `root`, in the tree's order, each with its pose multiplied
    // onto the model-view matrix in effect; the matrix is left as it was found. `revision` is
    // the scene revision read before this frame began (scene/SceneRevision.h). Thread that owns
    // the GL context; allocates nothing while the revision stays.
    void draw(const Parts& root, std::uint64_t revision);

  private:
    PosedScene poses_;
};

}  // namespace pelorin
