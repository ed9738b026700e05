// Writes a binary STL file facet by facet: an 80-byte header, the facet count (uint32), then one
// 50-byte record per facet (normal and three vertices as little-endian float32, a zero uint16).
// Facets go straight to the file, so a mesh is never held a second time; the count is written
// when the file is closed. Each normal is computed from the vertex order (counter-clockwise seen
// from outside); a facet of zero area gets a zero normal.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>

#include "scene/Geometry.h"

namespace pelorin {

class StlWriter {
  public:
    // Opens (creates or truncates) `path`; throws ImportError when it cannot.
    explicit StlWriter(const std::string& path);
    StlWriter(const StlWriter&) = delete;
    StlWriter& operator=(const StlWriter&) = delete;

    void addFacet(const Vec3& a, const Vec3& b, const Vec3& c);
    // Writes the count and closes the file; throws ImportError when a write failed.
    void finish();
    std::uint32_t facetCount() const { return count_; }

  private:
    std::ofstream out_;
    std::string path_;
    std::uint32_t count_ = 0;
};

}  // namespace pelorin
