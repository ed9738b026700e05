#include "scene/PosedScene.h"

namespace pelorin {

const std::vector<PartsPose>& PosedScene::update(const Parts& root, std::uint64_t revision) {
    if (root_ != &root || revision_ != revision) {
        composePartsPoses(root, poses_);
        root_ = &root;
        revision_ = revision;
    }
    return poses_;
}

}  // namespace pelorin
