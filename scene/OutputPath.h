// A named path from a Parts node to one child node: the joint between two bodies.
#pragma once

#include <string>

#include "scene/TransformChain.h"

namespace pelorin {

class MessageStream;
class Parts;

class OutputPath {
  public:
    static constexpr const char* kChainName = "Output trans";

    explicit OutputPath(std::string name) : transforms_(kChainName), name_(std::move(name)) {}
    OutputPath(const OutputPath&) = delete;
    OutputPath& operator=(const OutputPath&) = delete;

    TransformChain& transforms() { return transforms_; }
    const TransformChain& transforms() const { return transforms_; }

    // Name of the child as the NEXT line gives it; empty means no child.
    const std::string& childName() const { return childName_; }
    void setChildName(std::string name) { childName_ = std::move(name); }

    bool hasChild() const { return child_ != nullptr; }
    Parts* child() const { return child_; }
    void setChild(Parts* child) { child_ = child; }  // not owned
    void clearChild() { child_ = nullptr; }

    const std::string& getName() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }

    void dump(int indent, MessageStream& out) const;

  private:
    TransformChain transforms_;
    std::string childName_;
    Parts* child_ = nullptr;
    std::string name_;
};

}  // namespace pelorin
