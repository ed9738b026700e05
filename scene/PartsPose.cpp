#include "scene/PartsPose.h"

#include "scene/DrawnObject.h"
#include "scene/Parts.h"

namespace pelorin {
namespace {

PartsPose visit(const Parts& parts, const Matrix4& frameBefore) {
    PartsPose pose;
    pose.parts = &parts;
    pose.body = frameBefore * parts.inputTransforms().matrix();
    pose.object = parts.drawnObject();
    pose.objectPose =
        pose.object != nullptr ? pose.body * pose.object->preTrans().matrix() : pose.body;
    return pose;
}

// A node on the way down, with the next of its paths to follow.
struct PendingNode {
    std::size_t poseIndex;
    Parts::PathMap::const_iterator nextPath;
};

}  // namespace

void composePartsPoses(const Parts& root, std::vector<PartsPose>& poses) {
    poses.clear();
    // An explicit stack rather than recursion: a deep chain of bodies read from a file must not
    // exhaust the thread's stack.
    thread_local std::vector<PendingNode> pending;
    pending.clear();
    poses.push_back(visit(root, Matrix4{}));
    pending.push_back({0, root.outputPaths().begin()});
    while (!pending.empty()) {
        PendingNode& top = pending.back();
        const Parts& parts = *poses[top.poseIndex].parts;
        if (top.nextPath == parts.outputPaths().end()) {
            pending.pop_back();
            continue;
        }
        const OutputPath& path = *(top.nextPath++)->second;
        if (!path.hasChild()) continue;
        const Matrix4 frame = poses[top.poseIndex].body * path.transforms().matrix();
        poses.push_back(visit(*path.child(), frame));
        pending.push_back({poses.size() - 1, path.child()->outputPaths().begin()});
    }
}

}  // namespace pelorin
