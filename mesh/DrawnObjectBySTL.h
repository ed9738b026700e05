// A triangle mesh read from an STL file (ASCII or binary), with the one colour it is drawn in.
// Plain data: render/ turns it into GL calls.
#pragma once

#include <string>

#include "mesh/StlLoadResult.h"
#include "mesh/Triangle.h"
#include "mesh/TriangleArray.h"
#include "scene/DrawnObject.h"

namespace pelorin {

class DrawnObjectBySTL : public DrawnObject {
  public:
    explicit DrawnObjectBySTL(std::string name);
    DrawnObjectBySTL(float r, float g, float b, std::string name);
    // Writes "デストラクトDrawnObjectBySTL" to the console.
    ~DrawnObjectBySTL() override;

    void setColor(double r, double g, double b);
    const float* getColor() const { return color_; }

    // Appends the facets of the STL file at `path` (relative to the working directory, ASCII or
    // binary as readStlFile decides), renames the object after a named "solid" line and records
    // the path. Returns false, with the object unchanged, when the file is refused or cannot be
    // read whole; `result` then says why (and, on success, whether a binary file was padded).
    // Main thread, before drawing starts.
    bool loadStl(const std::string& path, StlLoadResult* result = nullptr);

    // The box around every finite vertex loaded so far.
    Box3 localBounds() const override { return bounds_; }
    void dump(int indent, MessageStream& out) const override;
    void dumpToConsole() const override;

    const TriangleArray& triangles() const { return triangles_; }
    const std::string& filePath() const { return filePath_; }

  private:
    TriangleArray triangles_;
    Box3 bounds_;
    float color_[3] = {1.0F, 1.0F, 1.0F};
    std::string filePath_;
};

}  // namespace pelorin
