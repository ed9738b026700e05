#include "render/SceneDrawer.h"

#include <GL/gl.h>

#include "mesh/DrawnObjectBySTL.h"

namespace pelorin {

void SceneDrawer::draw(const Parts& root, const LiveValues* values) {
    for (const PartsPose& pose : poses_.update(root, values)) {
        // The mesh is the one kind of drawn object there is.
        const auto* mesh = dynamic_cast<const DrawnObjectBySTL*>(pose.object);
        if (mesh == nullptr) continue;
        glPushMatrix();
        glMultMatrixd(pose.objectPose.m.data());
        meshes_.draw(*mesh);
        glPopMatrix();
    }
}

}  // namespace pelorin
