#include "scene/PosedBounds.h"

#include <vector>

#include "scene/DrawnObject.h"
#include "scene/PartsPose.h"

namespace pelorin {

Box3 posedBounds(const Parts& root, const PoseValues& values) {
    std::vector<PartsPose> poses;
    composePartsPoses(root, values, poses);
    Box3 bounds;
    for (const PartsPose& pose : poses) {
        if (pose.object != nullptr) {
            bounds.add(transformBox(pose.objectPose, pose.object->localBounds()));
        }
    }
    return bounds;
}

}  // namespace pelorin
