// The visible geometry of one Parts node. The scene holds drawn objects through this interface
// only; the concrete kinds (the STL mesh) live in the render library.
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

    // GL calls for the geometry in the object's own frame, on the thread that owns the GL
    // context: the caller has already put the object's pose (the Parts' pose, then the
    // "PreTrans" chain; see scene/PartsPose.h) on the model-view matrix. Leaves the matrix as it
    // found it.
    virtual void draw() const = 0;
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
