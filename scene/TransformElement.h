// Abstract transform element: one matrix operation of the robot model.
#pragma once

#include <string>

#include "scene/Matrix4.h"
#include "scene/PoseValues.h"

namespace pelorin {

class MessageStream;

class TransformElement {
  public:
    explicit TransformElement(std::string name) : name_(std::move(name)) {}
    virtual ~TransformElement() = default;
    TransformElement(const TransformElement&) = delete;
    TransformElement& operator=(const TransformElement&) = delete;

    // Diagnostic description at `indent` spaces.
    virtual void dump(int indent, MessageStream& out) const = 0;
    void dump(MessageStream& out) const { dump(0, out); }
    void dumpToConsole() const;

    // The element's transform under `values` (scene/TransformValue.h), to be multiplied on the
    // right of the matrix in effect (as glRotated and glTranslated do). Any thread; allocates
    // nothing.
    virtual Matrix4 matrix(const PoseValues& values) const = 0;
    // The same under the file's values.
    Matrix4 matrix() const { return matrix(PoseValues{}); }

    const std::string& getName() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }
    bool isInverted() const { return inverted_; }
    void setInverted(bool inverted) { inverted_ = inverted; }
    // Whether a marker figure of the element is wanted (render/TransformMarkers.h draws them).
    bool isMarkerVisible() const { return markerVisible_; }
    void setMarkerVisible(bool visible) { markerVisible_ = visible; }

  private:
    std::string name_;
    bool enabled_ = true;
    bool markerVisible_ = false;
    bool inverted_ = false;
};

}  // namespace pelorin
