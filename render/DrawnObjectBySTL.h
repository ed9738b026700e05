// A triangle mesh read from an STL file (ASCII or binary), drawn with one material colour.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "render/Triangle.h"
#include "scene/DrawnObject.h"

namespace pelorin {

enum class StlLoadStatus {
    Ok,
    CannotOpen,       // the file does not open; nothing changed
    TruncatedBinary,  // plainly binary, but its size does not match its facet count; nothing changed
};

struct StlLoadResult {
    StlLoadStatus status = StlLoadStatus::Ok;
    std::uintmax_t expectedSize = 0;  // TruncatedBinary: 84 + 50 * count
    std::uintmax_t actualSize = 0;    // TruncatedBinary: the file's size
};

class DrawnObjectBySTL : public DrawnObject {
public:
    explicit DrawnObjectBySTL(std::string name);
    DrawnObjectBySTL(float r, float g, float b, std::string name);
    ~DrawnObjectBySTL() override;

    void setColor(double r, double g, double b);
    const float* getColor() const { return color_; }

    // Appends the facets of the file at `path` (relative to the working directory), renames the
    // object after a named "solid" line and records the path. A file of exactly 84 + 50 n bytes
    // (n the little-endian count at bytes 80..83) is binary STL, any other file ASCII STL.
    // Returns false, with the object unchanged, when the file does not open or is a cut-short
    // binary file; `result` then says which.
    bool loadStl(const std::string& path, StlLoadResult* result = nullptr);

    void draw() const override;
    void dump(int indent, MessageStream& out) const override;
    void dumpToConsole() const override;

    const std::vector<Triangle>& triangles() const { return triangles_; }
    const std::string& filePath() const { return filePath_; }
    bool isSingleColor() const { return singleColor_; }

private:
    std::vector<Triangle> triangles_;
    bool singleColor_ = true;
    float color_[3] = {1.0F, 1.0F, 1.0F};
    std::string filePath_;
};

}  // namespace pelorin
