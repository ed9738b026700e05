#include "scene/TranslateTransform.h"

#include "scene/SceneMessages.h"
#include "util/MessageStream.h"
#include "util/TextHelpers.h"

namespace pelorin {

TranslateTransform::TranslateTransform(double x, double y, double z, std::string name)
    : TransformElement(std::move(name)), x_(x), y_(y), z_(z) {}

TranslateTransform::TranslateTransform(std::string name)
    : TranslateTransform(0.0, 0.0, 0.0, std::move(name)) {}

void TranslateTransform::setOffset(double x, double y, double z) {
    x_.set(x);
    y_.set(y);
    z_.set(z);
}

Offset TranslateTransform::getOffset() const {
    return Offset{x_.get(), y_.get(), z_.get()};
}

Matrix4 TranslateTransform::matrix() const {
    return Matrix4::translation({x_.get(), y_.get(), z_.get()});
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
