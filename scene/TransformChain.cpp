#include "scene/TransformChain.h"

#include "scene/SceneMessages.h"
#include "util/MessageStream.h"
#include "util/TextHelpers.h"

namespace pelorin {

void TransformChain::pushBack(std::unique_ptr<TransformElement> element) {
    elements_.push_back(std::move(element));
}

void TransformChain::pushFront(std::unique_ptr<TransformElement> element) {
    elements_.insert(elements_.begin(), std::move(element));
}

TransformElement* TransformChain::find(const std::string& name) const {
    for (const auto& element : elements_) {
        if (element->getName() == name) return element.get();
    }
    return nullptr;
}

Matrix4 TransformChain::matrix(const PoseValues& values) const {
    Matrix4 product;
    for (const auto& element : elements_) product = product * element->matrix(values);
    return product;
}

void TransformChain::dump(int indent, MessageStream& out) const {
    const std::string pad = repeatChar(indent + 2, ' ');
    out.raw(pad).msg(scene_messages::kNumberOfElements) << static_cast<unsigned long>(size());
    out.endl();
    if (elements_.empty()) {
        out.raw(pad).msg(scene_messages::kNotRegistered).endl();
        return;
    }
    int ordinal = 1;
    for (const auto& element : elements_) {
        out.raw(pad).msg(scene_messages::kOrdinal) << ordinal++;
        out.endl();
        element->dump(indent + 2, out);
    }
}

}  // namespace pelorin
