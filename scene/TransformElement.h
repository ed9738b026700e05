// Abstract transform element: one matrix operation of the robot model.
#pragma once

#include <string>

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

    // Multiplies the current OpenGL matrix on the right by this element's transform.
    // Viewer thread (or any thread with a current GL context); allocates nothing.
    virtual void apply() const = 0;
    // Line figure that shows the element; lighting is switched off and on around it.
    virtual void drawMarker() const = 0;

    const std::string& getName() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }
    bool isInverted() const { return inverted_; }
    void setInverted(bool inverted) { inverted_ = inverted; }
    bool isMarkerVisible() const { return markerVisible_; }
    void setMarkerVisible(bool visible) { markerVisible_ = visible; }

  private:
    std::string name_;
    bool enabled_ = true;
    bool markerVisible_ = false;
    bool inverted_ = false;
};

}  // namespace pelorin
