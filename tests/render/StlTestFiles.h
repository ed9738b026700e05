// Meshes and STL files made up by the render tests: the fixtures are generated, never read from
// the source tree, so a test cannot pass for want of its input.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/Triangle.h"

namespace pelorin::testing {

// A fresh directory under the system's temporary directory, removed with its files at the end.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    // Writes `bytes` to `name` inside the directory and returns the full path; a failed write
    // fails the test.
    std::string write(const std::string& name, const std::string& bytes) const;
    std::string path(const std::string& name) const { return dir_ + "/" + name; }

  private:
    std::string dir_;
};

// `count` facets with coordinates that are exact floats, so ASCII and binary hold the same mesh.
std::vector<Triangle> randomMesh(std::size_t count, unsigned seed);

struct AsciiStyle {
    std::string lineEnd = "\n";
    std::string indent = "  ";  // per nesting level
};

std::string toAsciiStl(const std::vector<Triangle>& mesh, const std::string& name,
                       const AsciiStyle& style = {});
std::string toBinaryStl(const std::vector<Triangle>& mesh, const std::string& header);

}  // namespace pelorin::testing
