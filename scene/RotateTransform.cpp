#include "scene/RotateTransform.h"

#include "scene/SceneMessages.h"
#include "util/MessageStream.h"
#include "util/TextHelpers.h"

namespace pelorin {

RotateTransform::RotateTransform(int axis, double angleDegrees, std::string name)
    : TransformElement(std::move(name)), angle_(angleDegrees), axis_(axis) {}

RotateTransform::RotateTransform(int axis, std::string name)
    : RotateTransform(axis, 0.0, std::move(name)) {}

RotateTransform::RotateTransform(std::string name) : RotateTransform(0, 0.0, std::move(name)) {}

Matrix4 RotateTransform::matrix(const PoseValues& values) const {
    if (!isEnabled()) return Matrix4{};
    const double degrees = isInverted() ? -angle_.in(values) : angle_.in(values);
    switch (axis_) {
        case kAxisX:
            return Matrix4::rotation(Axis::X, degrees);
        case kAxisY:
            return Matrix4::rotation(Axis::Y, degrees);
        case kAxisZ:
            return Matrix4::rotation(Axis::Z, degrees);
        default:
            return Matrix4{};
    }
}

char RotateTransform::axisLetter(int axis) {
    switch (axis) {
        case kAxisX:
            return 'X';
        case kAxisY:
            return 'Y';
        case kAxisZ:
            return 'Z';
        default:
            return '@';
    }
}

void RotateTransform::dump(int indent, MessageStream& out) const {
    const std::string pad = repeatChar(indent, ' ');
    const std::string inner = repeatChar(indent + 2, ' ');
    out.raw(pad).msg(scene_messages::kRotateTransform).endl();
    out.raw(inner).msg(scene_messages::kName).raw(getName()).endl();
    out.raw(inner).msg(isEnabled() ? scene_messages::kEnabledWithPeriod
                                   : scene_messages::kDisabledWithPeriod);
    std::string_view axisText = scene_messages::kAxisUndefined;
    if (axis_ == kAxisX) axisText = scene_messages::kAxisX;
    if (axis_ == kAxisY) axisText = scene_messages::kAxisY;
    if (axis_ == kAxisZ) axisText = scene_messages::kAxisZ;
    out.raw(inner).msg(axisText);
    out.raw(inner).msg(scene_messages::kRotationAngle) << angle_.initial();
    out.msg(scene_messages::kAngleEnd);
    out.flush();
}

}  // namespace pelorin
