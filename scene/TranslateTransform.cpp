#include "scene/TranslateTransform.h"

#include <GL/gl.h>

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

void TranslateTransform::apply() const {
    glTranslated(x_.get(), y_.get(), z_.get());
}

namespace {

void segment(const double (&color)[3], const Offset& from, const Offset& to) {
    glBegin(GL_LINES);
    glColor3d(color[0], color[1], color[2]);
    glVertex3d(from.x, from.y, from.z);
    glVertex3d(to.x, to.y, to.z);
    glEnd();
}

}  // namespace

void TranslateTransform::drawMarker() const {
    if (!isMarkerVisible()) return;
    static constexpr double kWhite[3] = {1.0, 1.0, 1.0};
    static constexpr double kRed[3] = {1.0, 0.0, 0.0};
    static constexpr double kGreen[3] = {0.0, 1.0, 0.0};
    static constexpr double kBlue[3] = {0.0, 0.0, 1.0};
    const Offset o = getOffset();
    const Offset origin{0.0, 0.0, 0.0};
    glDisable(GL_LIGHTING);
    segment(kWhite, origin, o);
    segment(kRed, origin, Offset{o.x, 0.0, 0.0});
    segment(kGreen, Offset{o.x, 0.0, 0.0}, Offset{o.x, o.y, 0.0});
    segment(kBlue, Offset{o.x, o.y, 0.0}, o);
    glEnable(GL_LIGHTING);
}

void TranslateTransform::dump(int indent, MessageStream& out) const {
    const std::string inner = repeatChar(indent + 2, ' ');
    const Offset o = getOffset();
    out.raw(repeatChar(indent, ' ')).msg(scene_text::kTranslateTransform).endl();
    out.raw(inner).msg(scene_text::kName).raw(getName()).endl();
    out.raw(inner).msg(isEnabled() ? scene_text::kEnabled : scene_text::kDisabled).endl();
    out.raw(inner).msg(scene_text::kOffset) << o.x;
    out.msg(scene_text::kOffsetSeparator) << o.y;
    out.msg(scene_text::kOffsetSeparator) << o.z;
    out.endl();
}

}  // namespace pelorin
