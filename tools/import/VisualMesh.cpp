#include "tools/import/VisualMesh.h"

#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <array>
#include <assimp/Importer.hpp>
#include <cmath>

#include "tools/import/ImportError.h"
#include "tools/import/ImportMessages.h"

namespace pelorin {
namespace {

namespace m = import_messages;

constexpr int kRoundSegments = 32;  // around a cylinder or a sphere
constexpr int kSphereRings = 16;    // from pole to pole
constexpr double kPi = 3.14159265358979323846;

// A named type of the anonymous namespace cannot be a member of VisualMesh::Source.
using Triangle = std::array<Vec3, 3>;

Matrix4 fromAssimp(const aiMatrix4x4& t) {
    Matrix4 result;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) result.at(row, column) = t[row][column];
    }
    return result;
}

Vec3 toVec(const aiVector3D& v) {
    return {v.x, v.y, v.z};
}

// Quads as two triangles, counter-clockwise seen from outside when a, b, c, d are.
void addQuad(std::vector<Triangle>& out, const Vec3& a, const Vec3& b, const Vec3& c,
             const Vec3& d) {
    out.push_back({a, b, c});
    out.push_back({a, c, d});
}

Vec3 onSphere(double radius, int ring, int segment) {
    const double polar = kPi * ring / kSphereRings;
    const double around = 2.0 * kPi * segment / kRoundSegments;
    return {radius * std::sin(polar) * std::cos(around),
            radius * std::sin(polar) * std::sin(around), radius * std::cos(polar)};
}

}  // namespace

// A mesh file (the importer owns the scene) or a list of triangles made here.
struct VisualMesh::Source {
    Assimp::Importer importer;
    const aiScene* scene = nullptr;
    std::vector<unsigned> materials;  // the materials that meshes use, one piece each
    std::vector<Triangle> triangles;  // a primitive's triangles

    void writeNode(const aiNode& node, const Matrix4& parent, unsigned material,
                   const Matrix4& placement, StlWriter& out) const;
};

void VisualMesh::Source::writeNode(const aiNode& node, const Matrix4& parent, unsigned material,
                                   const Matrix4& placement, StlWriter& out) const {
    const Matrix4 frame = parent * fromAssimp(node.mTransformation);
    const Matrix4 toOutput = placement * frame;
    for (unsigned i = 0; i < node.mNumMeshes; ++i) {
        const aiMesh& mesh = *scene->mMeshes[node.mMeshes[i]];
        if (mesh.mMaterialIndex != material) continue;
        for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
            const aiFace& face = mesh.mFaces[f];
            if (face.mNumIndices != 3) continue;  // points and lines have no surface
            out.addFacet(transformPoint(toOutput, toVec(mesh.mVertices[face.mIndices[0]])),
                         transformPoint(toOutput, toVec(mesh.mVertices[face.mIndices[1]])),
                         transformPoint(toOutput, toVec(mesh.mVertices[face.mIndices[2]])));
        }
    }
    for (unsigned i = 0; i < node.mNumChildren; ++i) {
        writeNode(*node.mChildren[i], frame, material, placement, out);
    }
}

VisualMesh::VisualMesh(std::unique_ptr<Source> source) : source_(std::move(source)) {}
VisualMesh::VisualMesh(VisualMesh&&) noexcept = default;
VisualMesh& VisualMesh::operator=(VisualMesh&&) noexcept = default;
VisualMesh::~VisualMesh() = default;

VisualMesh VisualMesh::fromFile(const std::string& path, const std::string& where) {
    auto source = std::make_unique<Source>();
    // A COLLADA file's up axis is its authoring tool's; in a robot description the mesh's
    // coordinates are the link's, as they stand.
    source->importer.SetPropertyBool(AI_CONFIG_IMPORT_COLLADA_IGNORE_UP_DIRECTION, true);
    source->scene = source->importer.ReadFile(
        path, aiProcess_Triangulate | aiProcess_SortByPType | aiProcess_ValidateDataStructure);
    if (source->scene == nullptr || source->scene->mRootNode == nullptr) {
        throw ImportError(where + std::string(m::kMeshFormat) + path + " (" +
                          source->importer.GetErrorString() + ")");
    }
    const aiScene& scene = *source->scene;
    std::vector<bool> used(scene.mNumMaterials + 1, false);
    for (unsigned i = 0; i < scene.mNumMeshes; ++i) {
        const aiMesh& mesh = *scene.mMeshes[i];
        if ((mesh.mPrimitiveTypes & aiPrimitiveType_TRIANGLE) == 0 || mesh.mNumFaces == 0) continue;
        const unsigned material = std::min(mesh.mMaterialIndex, scene.mNumMaterials);
        if (!used[material]) source->materials.push_back(material);
        used[material] = true;
    }
    if (source->materials.empty()) throw ImportError(where + std::string(m::kMeshEmpty) + path);
    return VisualMesh(std::move(source));
}

VisualMesh VisualMesh::box(const Vec3& size) {
    auto source = std::make_unique<Source>();
    const double x = size.x / 2, y = size.y / 2, z = size.z / 2;
    auto& t = source->triangles;
    addQuad(t, {-x, -y, -z}, {-x, y, -z}, {x, y, -z}, {x, -y, -z});  // bottom
    addQuad(t, {-x, -y, z}, {x, -y, z}, {x, y, z}, {-x, y, z});      // top
    addQuad(t, {-x, -y, -z}, {x, -y, -z}, {x, -y, z}, {-x, -y, z});  // front
    addQuad(t, {-x, y, -z}, {-x, y, z}, {x, y, z}, {x, y, -z});      // back
    addQuad(t, {-x, -y, -z}, {-x, -y, z}, {-x, y, z}, {-x, y, -z});  // left
    addQuad(t, {x, -y, -z}, {x, y, -z}, {x, y, z}, {x, -y, z});      // right
    return VisualMesh(std::move(source));
}

VisualMesh VisualMesh::cylinder(double radius, double length) {
    auto source = std::make_unique<Source>();
    const double h = length / 2;
    for (int s = 0; s < kRoundSegments; ++s) {
        const double a0 = 2.0 * kPi * s / kRoundSegments, a1 = 2.0 * kPi * (s + 1) / kRoundSegments;
        const Vec3 p0{radius * std::cos(a0), radius * std::sin(a0), 0.0};
        const Vec3 p1{radius * std::cos(a1), radius * std::sin(a1), 0.0};
        auto& t = source->triangles;
        addQuad(t, {p0.x, p0.y, -h}, {p1.x, p1.y, -h}, {p1.x, p1.y, h}, {p0.x, p0.y, h});
        t.push_back({Vec3{0, 0, h}, Vec3{p0.x, p0.y, h}, Vec3{p1.x, p1.y, h}});
        t.push_back({Vec3{0, 0, -h}, Vec3{p1.x, p1.y, -h}, Vec3{p0.x, p0.y, -h}});
    }
    return VisualMesh(std::move(source));
}

VisualMesh VisualMesh::sphere(double radius) {
    auto source = std::make_unique<Source>();
    for (int r = 0; r < kSphereRings; ++r) {
        for (int s = 0; s < kRoundSegments; ++s) {
            const Vec3 a = onSphere(radius, r, s), b = onSphere(radius, r + 1, s);
            const Vec3 c = onSphere(radius, r + 1, s + 1), d = onSphere(radius, r, s + 1);
            if (r > 0) source->triangles.push_back({a, b, d});
            if (r + 1 < kSphereRings) source->triangles.push_back({b, c, d});
        }
    }
    return VisualMesh(std::move(source));
}

std::size_t VisualMesh::pieceCount() const {
    return source_->scene != nullptr ? source_->materials.size() : 1;
}

std::optional<Rgba> VisualMesh::colour(std::size_t piece) const {
    const aiScene* scene = source_->scene;
    if (scene == nullptr) return std::nullopt;
    const unsigned material = source_->materials.at(piece);
    if (material >= scene->mNumMaterials) return std::nullopt;
    aiColor4D diffuse;
    if (aiGetMaterialColor(scene->mMaterials[material], AI_MATKEY_COLOR_DIFFUSE, &diffuse) !=
        aiReturn_SUCCESS) {
        return std::nullopt;
    }
    return Rgba{diffuse.r, diffuse.g, diffuse.b, diffuse.a};
}

bool VisualMesh::hasTextures() const {
    const aiScene* scene = source_->scene;
    if (scene == nullptr) return false;
    for (unsigned i = 0; i < scene->mNumMaterials; ++i) {
        if (scene->mMaterials[i]->GetTextureCount(aiTextureType_DIFFUSE) > 0) return true;
    }
    return false;
}

void VisualMesh::write(std::size_t piece, const Matrix4& placement, StlWriter& out) const {
    if (source_->scene == nullptr) {
        for (const Triangle& t : source_->triangles) {
            out.addFacet(transformPoint(placement, t[0]), transformPoint(placement, t[1]),
                         transformPoint(placement, t[2]));
        }
        return;
    }
    source_->writeNode(*source_->scene->mRootNode, Matrix4{}, source_->materials.at(piece),
                       placement, out);
}

}  // namespace pelorin
