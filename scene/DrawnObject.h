// The visible geometry of one Parts node, as data. The scene holds drawn objects through this
// interface only; the concrete kinds (the STL mesh) live in the mesh library, and render/ turns
// each kind it knows into GL calls.
#pragma once

#include <string>

#include "scene/Geometry.h"
#include "scene/TransformChain.h"

namespace pelorin {

class MessageStream;

class DrawnObject {
  public:
    static constexpr const char* kPreTransName = "PreTrans";

    explicit DrawnObject(std::string name) : preTrans_(kPreTransName), name_(std::move(name)) {}
    virtual ~DrawnObject() = default;
    DrawnObject(const DrawnObject&) = delete;
    DrawnObject& operator=(const DrawnObject&) = delete;

    // The box around the geometry in the object's own frame; empty when there is nothing to
    // draw. Cheap (kept from loading, not recomputed per call); any thread once loading is over.
    virtual Box3 localBounds() const = 0;
    virtual void dump(int indent, MessageStream& out) const = 0;
    virtual void dumpToConsole() const = 0;

    TransformChain& preTrans() { return preTrans_; }
    const TransformChain& preTrans() const { return preTrans_; }
    const std::string& getName() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }

  private:
    TransformChain preTrans_;
    std::string name_;
};

}  // namespace pelorin
