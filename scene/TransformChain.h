// A named, ordered list of transform elements applied as one.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "scene/TransformElement.h"

namespace pelorin {

class MessageStream;

class TransformChain {
  public:
    using Elements = std::vector<std::unique_ptr<TransformElement>>;

    explicit TransformChain(std::string name) : name_(std::move(name)) {}

    // The chain owns its elements; an element belongs to one chain for its whole life.
    void pushBack(std::unique_ptr<TransformElement> element);
    void pushFront(std::unique_ptr<TransformElement> element);
    std::size_t size() const { return elements_.size(); }
    // The first element, in list order, whose name equals `name` exactly; nullptr when none.
    TransformElement* find(const std::string& name) const;
    const Elements& elements() const { return elements_; }
    const std::string& getName() const { return name_; }

    // The product of the elements' matrices under `values` in list order: the first element is
    // the leftmost factor, so a vertex is transformed by the last element first. The identity
    // for an empty chain. Any thread; allocates nothing.
    Matrix4 matrix(const PoseValues& values) const;
    // The same under the file's values.
    Matrix4 matrix() const { return matrix(PoseValues{}); }
    void dump(int indent, MessageStream& out) const;

  private:
    std::string name_;
    Elements elements_;
};

}  // namespace pelorin
