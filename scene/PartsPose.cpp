#include "scene/PartsPose.h"

#include "scene/DrawnObject.h"
#include "scene/Parts.h"

namespace pelorin {
namespace {

PartsPose visit(const Parts& parts, const Matrix4& frameBefore, const PoseValues& values) {
    PartsPose pose;
    pose.parts = &parts;
    pose.body = frameBefore * parts.inputTransforms().matrix(values);
    pose.object = parts.drawnObject();
    pose.objectPose =
        pose.object != nullptr ? pose.body * pose.object->preTrans().matrix(values) : pose.body;
    return pose;
}

// A node on the way down, with the next of its paths to follow.
struct PendingNode {
    std::size_t poseIndex;
    Parts::PathMap::const_iterator nextPath;
};

}  // namespace

void composePartsPoses(const Parts& root, const PoseValues& values, std::vector<PartsPose>& poses) {
    poses.clear();
    // An explicit stack rather than recursion: a deep chain of bodies read from a file must not
    // exhaust the thread's stack.
    thread_local std::vector<PendingNode> pending;
    pending.clear();
    poses.push_back(visit(root, Matrix4{}, values));
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
        const std::size_t parent = top.poseIndex;
        const Matrix4 frame = poses[parent].body * path.transforms().matrix(values);
        poses.push_back(visit(*path.child(), frame, values));
        poses.back().parent = parent;
        poses.back().via = &path;
        pending.push_back({poses.size() - 1, path.child()->outputPaths().begin()});
    }
}

}  // namespace pelorin
