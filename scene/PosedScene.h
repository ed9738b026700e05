// The poses of a tree kept between frames and worked out again only when something changed.
//
// Every change of a value cell is followed by notifySceneChanged() (scene/SceneRevision.h), so
// the poses computed at one scene revision hold until the revision moves: a frame of a still
// robot does no pose arithmetic, and a moving one does it once, not once per element and frame.
#pragma once

#include <cstdint>
#include <vector>

#include "scene/PartsPose.h"

namespace pelorin {

class PosedScene {
  public:
    // The visits of the tree under `root` (see composePartsPoses), computed afresh when the root
    // or `revision` differ from the previous call's. Read the revision before calling: every
    // value counted by it is then included. One thread at a time.
    const std::vector<PartsPose>& update(const Parts& root, std::uint64_t revision);

  private:
    const Parts* root_ = nullptr;
    std::uint64_t revision_ = 0;
    std::vector<PartsPose> poses_;
};

}  // namespace pelorin
