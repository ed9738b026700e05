#include "scene/PosedScene.h"

#include "scene/LiveValues.h"

namespace pelorin {

const std::vector<PartsPose>& PosedScene::update(const Parts& root, const LiveValues* values) {
    const std::uint64_t revision = values != nullptr ? values->revision() : 0;
    if (posed_ && root_ == &root && store_ == values && revision_ == revision) return poses_;
    if (values != nullptr) {
        revision_ = values->snapshot(values_);
    } else {
        values_.clear();
        revision_ = 0;
    }
    composePartsPoses(root, values_, poses_);
    root_ = &root;
    store_ = values;
    posed_ = true;
    return poses_;
}

}  // namespace pelorin
