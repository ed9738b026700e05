// The poses of a tree kept between frames and worked out again only when its values changed.
//
// Each update takes one snapshot of the model's live values (scene/LiveValues.h) and poses the
// whole tree from it, so the poses always come from one complete value set; a frame of a still
// robot does no pose arithmetic, and a moving one does it once, not once per element and frame.
#pragma once

#include <cstdint>
#include <vector>

#include "scene/PartsPose.h"
#include "scene/PoseValues.h"

namespace pelorin {

class LiveValues;

class PosedScene {
  public:
    // The visits of the tree under `root` posed with the current set of `values` (see
    // composePartsPoses; with null `values`, the file's values), computed afresh when the root,
    // the store or its revision differ from the previous call's. One thread at a time; allocates
    // nothing once the sizes are known.
    const std::vector<PartsPose>& update(const Parts& root, const LiveValues* values);

  private:
    const Parts* root_ = nullptr;
    const LiveValues* store_ = nullptr;
    std::uint64_t revision_ = 0;
    bool posed_ = false;
    PoseValues values_;
    std::vector<PartsPose> poses_;
};

}  // namespace pelorin
