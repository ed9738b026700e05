#include "tools/import/RobotWriter.h"

#include <cmath>
#include <fstream>
#include <map>
#include <optional>
#include <set>

#include "tools/import/ImportError.h"
#include "tools/import/ImportMessages.h"
#include "tools/import/JointLines.h"
#include "tools/import/OutputFolder.h"
#include "tools/import/PackagePaths.h"
#include "tools/import/SettingText.h"
#include "tools/import/StlWriter.h"
#include "tools/import/VisualMesh.h"

namespace pelorin {
namespace {

namespace fs = std::filesystem;
namespace m = import_messages;

constexpr const char* kRootName = "ROOT";
constexpr const char* kMeshFolder = "meshes";
constexpr double kMillimetresPerMetre = 1000.0;
constexpr Rgba kGrey{0.6, 0.6, 0.6, 1.0};

std::string quotedName(const std::string& name) {
    return "'" + name + "'";
}

// One drawn STL: the file written, its colour and where it stands in its link.
struct Piece {
    std::string name;  // of its Parts, drawn object and file
    urdf::Pose origin;
    Rgba colour;
};

// The geometry of a link's visuals (or collisions) with the material the URDF gives it.
struct Shape {
    urdf::GeometrySharedPtr geometry;
    urdf::Pose origin;
    urdf::MaterialSharedPtr material;
};

class RobotWriter {
  public:
    RobotWriter(const UrdfDescription& d, const ImportOptions& o, fs::path folder);
    ImportSummary write(const std::string& settingName);

  private:
    void nameEverything();
    void writeHeader(const std::string& settingName);
    void writeLinks();
    void writeLink(const urdf::Link& link);
    void writeJoint(const urdf::Joint& joint);
    void writeDrawn(const Piece& piece);
    void writeExtraPiece(const Piece& piece);
    void writeDataPort();
    std::vector<Piece> writeMeshes(const urdf::Link& link);
    void writeShape(const urdf::Link& link, const Shape& shape, std::vector<Piece>& pieces);
    VisualMesh loadShape(const urdf::Link& link, const urdf::Geometry& geometry) const;
    std::optional<Rgba> urdfColour(const urdf::Link& link, const Shape& shape);
    void warn(const std::string& text) { summary_.warnings.push_back(text); }

    const UrdfDescription& d_;
    const ImportOptions& o_;
    fs::path folder_;
    PackagePaths paths_;
    double unit_;
    NameTable partsNames_;  // links and the Parts of further pieces
    NameTable pathNames_;   // joints and the paths to further pieces
    SettingText text_;
    ImportSummary summary_;
    std::map<std::string, std::string> partsName_, fileName_, jointName_;
    std::map<std::string, std::vector<const urdf::Joint*>> childJoints_;  // document order
    std::vector<std::string> valueOrder_;           // movable joints, data-port order
    std::map<std::string, std::string> valueLine_;  // joint -> its DATAPORT line
    bool texturesWarned_ = false;
};

RobotWriter::RobotWriter(const UrdfDescription& d, const ImportOptions& o, fs::path folder)
    : d_(d),
      o_(o),
      folder_(std::move(folder)),
      paths_(
          [&] {
              auto places = o.packagePaths;
              const char* env = std::getenv("ROS_PACKAGE_PATH");
              for (auto& p : PackagePaths::splitSearchPath(env != nullptr ? env : ""))
                  places.push_back(p);
              return places;
          }(),
          fs::path(o.urdf).parent_path()),
      unit_(o.metres ? 1.0 : kMillimetresPerMetre) {}

void RobotWriter::nameEverything() {
    summary_.warnings = d_.warnings;
    partsNames_.reserve(kRootName);
    const std::string root = d_.model->getRoot()->name;
    for (const auto& [link, line] : d_.linkLines) {
        fileName_[link] = partsNames_.add(link);
        partsName_[link] = link == root ? kRootName : fileName_[link];
        if (link != root && partsName_[link] != link) {
            warn("link " + quotedName(link) + std::string(m::kRenamed) +
                 quotedName(partsName_[link]));
        }
    }
    for (const std::string& joint : d_.jointOrder) {
        jointName_[joint] = pathNames_.add(joint);
        if (jointName_[joint] != joint) {
            warn("joint " + quotedName(joint) + std::string(m::kRenamed) +
                 quotedName(jointName_[joint]));
        }
    }
    for (const std::string& joint : d_.jointOrder) {
        const urdf::JointConstSharedPtr j = d_.model->getJoint(joint);
        if (j) childJoints_[j->parent_link_name].push_back(j.get());
    }
    valueOrder_ = dataPortOrder(*d_.model, d_.jointOrder, o_.joints, summary_.warnings);
}

void RobotWriter::writeHeader(const std::string& settingName) {
    const std::string unit = o_.metres ? "m" : "mm";
    text_.comment(d_.model->getName() + ": imported from " + fs::path(d_.file).filename().string() +
                  " by pelorin-import.");
    text_.comment("Run from this folder: pelorin " + settingName);
    text_.comment(std::string("Lengths in ") + (o_.metres ? "metres" : "millimetres") +
                  ". Data-port values: degrees for rotations, " + unit + " for");
    text_.comment("translations, in this order:");
    text_.comment("");
    writeValueTable(text_, *d_.model, valueOrder_, unit_, unit);
    text_.blank();
}

void RobotWriter::writeDrawn(const Piece& piece) {
    text_.line("BEGIN DRAWN STL = " + piece.name);
    writePoseLines(text_, piece.origin, unit_);
    text_.line(std::string("PATH = ") + kMeshFolder + "/" + piece.name + ".stl");
    text_.line("COLOR = " + colourText(piece.colour));
    text_.line("END DRAWN STL");
}

void RobotWriter::writeExtraPiece(const Piece& piece) {
    text_.line("BEGIN PARTS = " + piece.name);
    writeDrawn(piece);
    text_.line("END PARTS");
    text_.blank();
}

void RobotWriter::writeLink(const urdf::Link& link) {
    const std::string& name = partsName_.at(link.name);
    text_.comment("Link " + link.name + (name != link.name ? ", written as " + name : ""));
    text_.line("BEGIN PARTS = " + name);
    if (!link.getParent()) {
        text_.comment("URDF is Z-up and the viewer's up is Y: stand the robot upright.");
        text_.line("TRANS = ROTATION(UPRIGHT,X,-90)");
    }
    const std::vector<Piece> pieces = writeMeshes(link);
    if (!pieces.empty()) writeDrawn(pieces.front());
    for (const urdf::Joint* joint : childJoints_[link.name]) writeJoint(*joint);
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        if (i == 1) text_.comment("Further visuals and colours of this link, unmoved:");
        text_.line("BEGIN CHILD = " + pathNames_.add(pieces[i].name));
        text_.line("NEXT = " + pieces[i].name);
        text_.line("END CHILD");
    }
    text_.line("END PARTS");
    text_.blank();
    for (std::size_t i = 1; i < pieces.size(); ++i) writeExtraPiece(pieces[i]);
}

// Links from the root down, each before its children, children in document order; a loop
// rather than recursion, so a long chain cannot exhaust the stack.
void RobotWriter::writeLinks() {
    std::vector<const urdf::Link*> pending{d_.model->getRoot().get()};
    while (!pending.empty()) {
        const urdf::Link* link = pending.back();
        pending.pop_back();
        writeLink(*link);
        const auto& joints = childJoints_[link->name];
        for (auto it = joints.rbegin(); it != joints.rend(); ++it) {
            pending.push_back(d_.model->getLink((*it)->child_link_name).get());
        }
    }
}

void RobotWriter::writeJoint(const urdf::Joint& joint) {
    const std::string& name = jointName_.at(joint.name);
    text_.line("BEGIN CHILD = " + name);
    const std::optional<std::string> binding =
        writeJointLines(text_, joint, name, unit_, d_.whereJoint(joint.name), summary_.warnings);
    if (binding)
        valueLine_[joint.name] =
            partsName_.at(joint.parent_link_name) + "." + name + "." + *binding;
    text_.line("NEXT = " + partsName_.at(joint.child_link_name));
    text_.line("END CHILD");
}

void RobotWriter::writeDataPort() {
    if (valueOrder_.empty()) return;
    text_.comment("Data-port values, in the order of the table at the top.");
    text_.line("BEGIN DATAPORT");
    for (const std::string& joint : valueOrder_) text_.line(valueLine_.at(joint));
    text_.line("END DATAPORT");
    summary_.values = valueOrder_.size();
}

std::vector<Piece> RobotWriter::writeMeshes(const urdf::Link& link) {
    std::vector<Shape> shapes;
    if (o_.collision) {
        for (const auto& c : link.collision_array)
            shapes.push_back({c->geometry, c->origin, nullptr});
    } else {
        for (const auto& v : link.visual_array)
            shapes.push_back({v->geometry, v->origin, v->material});
    }
    std::vector<Piece> pieces;
    for (const Shape& shape : shapes) {
        if (shape.geometry) writeShape(link, shape, pieces);
    }
    return pieces;
}

VisualMesh RobotWriter::loadShape(const urdf::Link& link, const urdf::Geometry& geometry) const {
    switch (geometry.type) {
        case urdf::Geometry::BOX: {
            const auto& box = static_cast<const urdf::Box&>(geometry);
            return VisualMesh::box({box.dim.x, box.dim.y, box.dim.z});
        }
        case urdf::Geometry::CYLINDER: {
            const auto& cylinder = static_cast<const urdf::Cylinder&>(geometry);
            return VisualMesh::cylinder(cylinder.radius, cylinder.length);
        }
        case urdf::Geometry::SPHERE:
            return VisualMesh::sphere(static_cast<const urdf::Sphere&>(geometry).radius);
        case urdf::Geometry::MESH:
            break;
    }
    const auto& mesh = static_cast<const urdf::Mesh&>(geometry);
    const std::string where = d_.whereLink(link.name);
    const fs::path file = paths_.resolve(mesh.filename, where);
    return VisualMesh::fromFile(file.string(), where + mesh.filename + ": ");
}

std::optional<Rgba> RobotWriter::urdfColour(const urdf::Link& link, const Shape& shape) {
    if (!shape.material) return std::nullopt;
    const urdf::Color& c = shape.material->color;
    const bool textured = !shape.material->texture_filename.empty();
    if (textured && !texturesWarned_) {
        warn(std::string(m::kTextures) + quotedName(link.name) + ")");
        texturesWarned_ = true;
    }
    // A material that names only a texture leaves urdfdom's colour at its default, black.
    if (textured && c.r == 0.0f && c.g == 0.0f && c.b == 0.0f) return std::nullopt;
    return Rgba{c.r, c.g, c.b, c.a};
}

void RobotWriter::writeShape(const urdf::Link& link, const Shape& shape,
                             std::vector<Piece>& pieces) {
    const VisualMesh mesh = loadShape(link, *shape.geometry);
    if (mesh.hasTextures() && !texturesWarned_) {
        warn(std::string(m::kTextures) + quotedName(link.name) + ")");
        texturesWarned_ = true;
    }
    Matrix4 placement;
    const urdf::Vector3 scale = shape.geometry->type == urdf::Geometry::MESH
                                    ? static_cast<const urdf::Mesh&>(*shape.geometry).scale
                                    : urdf::Vector3(1, 1, 1);
    placement.at(0, 0) = unit_ * scale.x;
    placement.at(1, 1) = unit_ * scale.y;
    placement.at(2, 2) = unit_ * scale.z;
    const std::optional<Rgba> given = urdfColour(link, shape);
    for (std::size_t i = 0; i < mesh.pieceCount(); ++i) {
        const std::string& base = fileName_.at(link.name);
        Piece piece{
            pieces.empty() ? base : partsNames_.add(base + "_" + std::to_string(pieces.size() + 1)),
            shape.origin, given.value_or(mesh.colour(i).value_or(kGrey))};
        StlWriter out((folder_ / kMeshFolder / (piece.name + ".stl")).string());
        mesh.write(i, placement, out);
        out.finish();
        ++summary_.meshFiles;
        pieces.push_back(piece);
    }
}

ImportSummary RobotWriter::write(const std::string& settingName) {
    nameEverything();
    writeHeader(settingName);
    std::error_code error;
    fs::create_directory(folder_ / kMeshFolder, error);
    if (error) throw ImportError(std::string(m::kCannotCreate) + (folder_ / kMeshFolder).string());
    writeLinks();
    writeDataPort();
    const fs::path file = folder_ / settingName;
    std::ofstream out(file, std::ios::binary);
    out << text_.text();
    out.close();
    if (out.fail()) throw ImportError(std::string(m::kCannotWrite) + file.string());
    return summary_;
}

}  // namespace

ImportSummary writeRobot(const UrdfDescription& description, const ImportOptions& options,
                         const fs::path& folder, const std::string& settingName) {
    return RobotWriter(description, options, folder).write(settingName);
}

ImportSummary importRobot(const ImportOptions& options) {
    const UrdfDescription description = readUrdf(options.urdf);
    OutputFolder folder(options.outDir, options.force);
    const std::string name = fs::path(options.urdf).stem().string() + ".txt";
    ImportSummary summary = writeRobot(description, options, folder.work(), name);
    folder.commit();
    summary.settingFile = (fs::path(options.outDir) / name).string();
    return summary;
}

}  // namespace pelorin
