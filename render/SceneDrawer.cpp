#include "render/SceneDrawer.h"

#include <GL/gl.h>

#include "render/DrawnObjectBySTL.h"

namespace pelorin {

void SceneDrawer::draw(const Parts& root, const LiveValues* values) {
    for (const PartsPose& pose : poses_.update(root, values)) {
        if (pose.object == nullptr) continue;
        glPushMatrix();
        glMultMatrixd(pose.objectPose.m.data());
        if (const auto* mesh = dynamic_cast<const DrawnObjectBySTL*>(pose.object)) {
            meshes_.draw(*mesh);
        } else {
            pose.object->draw();
        }
        glPopMatrix();
    }
}

}  // namespace pelorin
