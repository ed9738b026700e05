#include "scene/TranslateTransform.h"

#include "scene/SceneMessages.h"
#include "util/MessageStream.h"
#include "util/TextHelpers.h"

namespace pelorin {

TranslateTransform::TranslateTransform(double x, double y, double z, std::string name)
    : TransformElement(std::move(name)), x_(x), y_(y), z_(z) {}

TranslateTransform::TranslateTransform(std::string name)
    : TranslateTransform(0.0, 0.0, 0.0, std::move(name)) {}

Offset TranslateTransform::offset(const PoseValues& values) const {
    return Offset{x_.in(values), y_.in(values), z_.in(values)};
}

Matrix4 TranslateTransform::matrix(const PoseValues& values) const {
    const Offset o = offset(values);
    return Matrix4::translation({o.x, o.y, o.z});
}

void TranslateTransform::dump(int indent, MessageStream& out) const {
    const std::string inner = repeatChar(indent + 2, ' ');
    const Offset o = getOffset();
    out.raw(repeatChar(indent, ' ')).msg(scene_messages::kTranslateTransform).endl();
    out.raw(inner).msg(scene_messages::kName).raw(getName()).endl();
    out.raw(inner).msg(isEnabled() ? scene_messages::kEnabled : scene_messages::kDisabled).endl();
    out.raw(inner).msg(scene_messages::kOffset) << o.x;
    out.msg(scene_messages::kOffsetSeparator) << o.y;
    out.msg(scene_messages::kOffsetSeparator) << o.z;
    out.endl();
}

}  // namespace pelorin
