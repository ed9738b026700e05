// Where every body and mesh of a Parts tree stands under one value set: the tree walked as plain
// arithmetic, with no drawing involved. The viewer's frames and pelorin-check's pose lines both
// come from here.
//
// A node's frame is the frame of its parent, then the transforms of the path taken to it, then
// the node's own input transforms (the root's frame is its input transforms alone). Its drawn
// object stands in that frame followed by the object's "PreTrans" chain. Paths are followed in
// ascending name order, depth first; a path without a child is skipped and its transforms are not
// used; a node reached by several paths is visited once per path.
#pragma once

#include <cstddef>
#include <vector>

#include "scene/Matrix4.h"
#include "scene/PoseValues.h"

namespace pelorin {

class DrawnObject;
class OutputPath;
class Parts;

// One visit of a node.
struct PartsPose {
    static constexpr std::size_t kNoParent = static_cast<std::size_t>(-1);

    const Parts* parts = nullptr;
    std::size_t parent = kNoParent;       // index of the parent's visit; kNoParent for the root
    const OutputPath* via = nullptr;      // the path taken from the parent; null for the root
    Matrix4 body;                         // the node's frame in model space
    const DrawnObject* object = nullptr;  // the node's drawn object, or null
    Matrix4 objectPose;                   // body, then the object's "PreTrans" chain
};

// Replaces the contents of `poses` with the visits of the tree under `root` posed with `values`,
// in the order the tree is drawn: a node, then the subtrees of its paths in name order. Passing
// the same vector again reuses its memory (the walk's own working storage is kept per thread),
// so walking an unchanged tree again allocates nothing. Any thread. The tree must be free of
// cycles, as the setting-file link makes sure.
void composePartsPoses(const Parts& root, const PoseValues& values, std::vector<PartsPose>& poses);

}  // namespace pelorin
