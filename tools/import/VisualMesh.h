// The triangles of one visual (or collision) geometry: a mesh file read with assimp, or a box,
// cylinder or sphere made here. The triangles come in pieces, one per material of the mesh file
// (a primitive is one piece), so that each colour becomes a drawn object of its own.
// Coordinates are those of the geometry's own frame in metres, with the file's node transforms
// applied; `write` places them (URDF mesh scale, unit) while streaming them into an STL file,
// so a mesh is held only once, by the importer.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "scene/Matrix4.h"
#include "tools/import/StlWriter.h"

namespace pelorin {

struct Rgba {
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
    double a = 1.0;
};

class VisualMesh {
  public:
    // Reads a mesh file; throws ImportError (kMeshFormat, kMeshEmpty) with `where` in front
    // when assimp cannot read it or it holds no triangles.
    static VisualMesh fromFile(const std::string& path, const std::string& where);
    // A box of the given edge lengths, centred on the origin.
    static VisualMesh box(const Vec3& size);
    // A cylinder along Z, centred on the origin.
    static VisualMesh cylinder(double radius, double length);
    static VisualMesh sphere(double radius);

    VisualMesh(VisualMesh&&) noexcept;
    VisualMesh& operator=(VisualMesh&&) noexcept;
    ~VisualMesh();

    std::size_t pieceCount() const;
    // The colour the mesh file gives the piece's material, if it gives one.
    std::optional<Rgba> colour(std::size_t piece) const;
    // Whether the file's materials name textures (which are not drawn).
    bool hasTextures() const;
    // Streams the piece's triangles, each vertex transformed by `placement`, into `out`.
    void write(std::size_t piece, const Matrix4& placement, StlWriter& out) const;

  private:
    struct Source;
    explicit VisualMesh(std::unique_ptr<Source> source);
    std::unique_ptr<Source> source_;
};

}  // namespace pelorin
