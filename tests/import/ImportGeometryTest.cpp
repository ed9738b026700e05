// Robots imported from URDFs written for these tests, read back by the setting-file reader and
// posed with random joint values: every link's frame, and the corners of everything drawn,
// against forward kinematics computed here from the URDF's own numbers.
#include <gtest/gtest.h>
#include <urdf_parser/urdf_parser.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "scene/DrawnObject.h"
#include "scene/Parts.h"
#include "scene/PartsPose.h"
#include "scene/TransformValue.h"
#include "setting/SettingFileParser.h"
#include "tests/support/TempDir.h"
#include "tools/import/RobotWriter.h"

namespace pelorin {
namespace {

using testing::TempDir;
using testing::WorkingDirectory;

constexpr double kPi = 3.14159265358979323846;
constexpr int kPoses = 5;

// Row-major 4x4 with the URDF's meaning (metres, radians).
struct Frame {
    double m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
};

Frame operator*(const Frame& a, const Frame& b) {
    Frame r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            r.m[i][j] = 0;
            for (int k = 0; k < 4; ++k) r.m[i][j] += a.m[i][k] * b.m[k][j];
        }
    }
    return r;
}

Vec3 apply(const Frame& f, const Vec3& p) {
    const double v[3] = {p.x, p.y, p.z};
    double out[3];
    for (int i = 0; i < 3; ++i)
        out[i] = f.m[i][0] * v[0] + f.m[i][1] * v[1] + f.m[i][2] * v[2] + f.m[i][3];
    return {out[0], out[1], out[2]};
}

Frame fromPose(const urdf::Pose& pose) {
    const urdf::Rotation& q = pose.rotation;
    Frame f;
    const double x = q.x, y = q.y, z = q.z, w = q.w;
    const double rot[3][3] = {{1 - 2 * (y * y + z * z), 2 * (x * y - z * w), 2 * (x * z + y * w)},
                              {2 * (x * y + z * w), 1 - 2 * (x * x + z * z), 2 * (y * z - x * w)},
                              {2 * (x * z - y * w), 2 * (y * z + x * w), 1 - 2 * (x * x + y * y)}};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) f.m[i][j] = rot[i][j];
    }
    f.m[0][3] = pose.position.x;
    f.m[1][3] = pose.position.y;
    f.m[2][3] = pose.position.z;
    return f;
}

// The joint's motion by q (radians or metres) about or along its axis, Rodrigues' formula.
Frame motion(const urdf::Joint& joint, double q) {
    const urdf::Vector3& a0 = joint.axis;
    if (joint.type == urdf::Joint::FIXED) return Frame{};
    const double length = std::sqrt(a0.x * a0.x + a0.y * a0.y + a0.z * a0.z);
    const double a[3] = {a0.x / length, a0.y / length, a0.z / length};
    Frame f;
    if (joint.type == urdf::Joint::PRISMATIC) {
        for (int i = 0; i < 3; ++i) f.m[i][3] = a[i] * q;
        return f;
    }
    const double c = std::cos(q), s = std::sin(q);
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            const double cross = (i == j) ? 0 : ((j == (i + 1) % 3) ? -a[3 - i - j] : a[3 - i - j]);
            f.m[i][j] = (i == j ? c : 0) + (1 - c) * a[i] * a[j] + s * cross;
        }
    }
    return f;
}

// Pelorin's model space for a URDF frame: millimetres, turned from Z-up to Y-up.
Frame inModelSpace(const Frame& urdfFrame, double unit) {
    Frame upright;
    upright.m[1][1] = 0, upright.m[1][2] = 1, upright.m[2][1] = -1, upright.m[2][2] = 0;
    Frame scaled = urdfFrame;
    for (int i = 0; i < 3; ++i) scaled.m[i][3] *= unit;
    return upright * scaled;
}

// The vertices of a binary STL file.
std::vector<Vec3> readStl(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::uint32_t count = 0;
    std::memcpy(&count, bytes.data() + 80, 4);
    EXPECT_EQ(bytes.size(), 84 + 50 * std::size_t(count)) << path;
    std::vector<Vec3> points;
    for (std::uint32_t f = 0; f < count && 84 + 50 * (f + 1) <= bytes.size(); ++f) {
        for (int v = 0; v < 3; ++v) {
            float xyz[3];
            std::memcpy(xyz, bytes.data() + 84 + 50 * f + 12 + 12 * v, 12);
            points.push_back({xyz[0], xyz[1], xyz[2]});
        }
    }
    return points;
}

// The robot under test: URDF text, its extra files, what it draws (corners in each link), and
// the options of the import.
struct Robot {
    const char* label;
    std::string urdf;
    std::map<std::string, std::string> files;               // name -> bytes
    std::map<std::string, std::vector<Vec3>> drawnCorners;  // link -> its geometry's extreme points
    bool metres = false;
    double tolerance = 1e-6;  // of the robot's size
};

std::string box(const char* size, const char* origin) {
    return std::string("<visual><origin ") + origin + "/><geometry><box size=\"" + size +
           "\"/></geometry></visual>";
}

std::string link(const std::string& name, const std::string& visuals = "") {
    return "<link name=\"" + name + "\">" + visuals + "</link>\n";
}

std::string joint(const std::string& name, const char* type, const std::string& parent,
                  const std::string& child, const char* origin, const char* axis) {
    return "<joint name=\"" + name + "\" type=\"" + type + "\"><parent link=\"" + parent +
           "\"/><child link=\"" + child + "\"/><origin " + origin + "/><axis xyz=\"" + axis +
           "\"/><limit lower=\"-3\" upper=\"3\" effort=\"1\" velocity=\"1\"/></joint>\n";
}

// Corners of a box of edge lengths s at origin (xyz, rpy) of its link, in the link's frame.
std::vector<Vec3> boxCorners(Vec3 s, const urdf::Pose& origin) {
    std::vector<Vec3> corners;
    for (int i = 0; i < 8; ++i) {
        const Vec3 c{(i & 1 ? 0.5 : -0.5) * s.x, (i & 2 ? 0.5 : -0.5) * s.y,
                     (i & 4 ? 0.5 : -0.5) * s.z};
        corners.push_back(apply(fromPose(origin), c));
    }
    return corners;
}

urdf::Pose pose(double x, double y, double z, double roll, double pitch, double yaw) {
    urdf::Pose p;
    p.position = urdf::Vector3(x, y, z);
    p.rotation.setFromRPY(roll, pitch, yaw);
    return p;
}

// Every revolute axis along and against X, Y and Z and two tilted ones, nested origins with
// roll, pitch and yaw, and a box on each link placed at an origin of its own.
Robot revoluteChain() {
    const char* axes[] = {"1 0 0", "-1 0 0", "0 1 0", "0 -1 0",
                          "0 0 1", "0 0 -1", "1 1 1", "0.3 -0.5 0.8"};
    Robot r{"revolute", "", {}, {}};
    std::string body = link("l0", box("0.1 0.2 0.3", "xyz=\"0 0 0.15\""));
    r.drawnCorners["l0"] = boxCorners({0.1, 0.2, 0.3}, pose(0, 0, 0.15, 0, 0, 0));
    for (int i = 0; i < 8; ++i) {
        const std::string child = "l" + std::to_string(i + 1);
        body += link(child, box("0.05 0.08 0.2", "xyz=\"0.01 0.02 0.1\" rpy=\"0.3 -0.2 0.5\""));
        r.drawnCorners[child] =
            boxCorners({0.05, 0.08, 0.2}, pose(0.01, 0.02, 0.1, 0.3, -0.2, 0.5));
        body += joint("j" + std::to_string(i + 1), i % 2 ? "continuous" : "revolute",
                      "l" + std::to_string(i), child, "xyz=\"0.02 -0.03 0.2\" rpy=\"0.4 0.7 -1.1\"",
                      axes[i]);
    }
    r.urdf = "<robot name=\"revolute\">\n" + body + "</robot>\n";
    return r;
}

// Prismatic joints along +X, -Y, +Z and a tilted axis, a fixed joint, a mimic joint, a planar
// joint (left at its origin), a branch.
Robot prismaticTree() {
    Robot r{"prismatic", "", {}, {}};
    std::string body = link("base", box("0.4 0.4 0.1", "xyz=\"0 0 0\""));
    r.drawnCorners["base"] = boxCorners({0.4, 0.4, 0.1}, pose(0, 0, 0, 0, 0, 0));
    const char* axes[] = {"1 0 0", "0 -1 0", "0 0 1", "0.6 0 -0.8"};
    for (int i = 0; i < 4; ++i) {
        const std::string child = "s" + std::to_string(i);
        body += link(child, box("0.1 0.05 0.02", "xyz=\"0.05 0 0\""));
        r.drawnCorners[child] = boxCorners({0.1, 0.05, 0.02}, pose(0.05, 0, 0, 0, 0, 0));
        body += joint("p" + std::to_string(i), "prismatic",
                      i < 2 ? "base" : "s" + std::to_string(i - 1), child,
                      "xyz=\"0.1 0.05 0.2\" rpy=\"0 0.5 1\"", axes[i]);
    }
    body += link("tip", box("0.02 0.02 0.02", "xyz=\"0 0 0\""));
    r.drawnCorners["tip"] = boxCorners({0.02, 0.02, 0.02}, pose(0, 0, 0, 0, 0, 0));
    body += joint("fix", "fixed", "s3", "tip", "xyz=\"0.2 0 0\" rpy=\"1 0 0\"", "1 0 0");
    body += link("plate", box("0.05 0.05 0.01", "xyz=\"0 0 0\""));
    r.drawnCorners["plate"] = boxCorners({0.05, 0.05, 0.01}, pose(0, 0, 0, 0, 0, 0));
    body +=
        joint("slide", "planar", "base", "plate", "xyz=\"-0.1 0 0.1\" rpy=\"0 0 0.3\"", "0 0 1");
    body += link("twin", box("0.03 0.03 0.03", "xyz=\"0 0 0\""));
    r.drawnCorners["twin"] = boxCorners({0.03, 0.03, 0.03}, pose(0, 0, 0, 0, 0, 0));
    body +=
        "<joint name=\"copy\" type=\"revolute\"><parent link=\"tip\"/><child link=\"twin\"/>"
        "<origin xyz=\"0 0.1 0\"/><axis xyz=\"0 0 1\"/><limit lower=\"-1\" upper=\"1\" effort=\"1\""
        " velocity=\"1\"/><mimic joint=\"p0\" multiplier=\"2\"/></joint>\n";
    r.urdf = "<robot name=\"prismatic\">\n" + body + "</robot>\n";
    r.metres = true;
    return r;
}

std::string binaryStl(const std::vector<Vec3>& triangleCorners) {
    std::string bytes(80, '\0');
    const std::uint32_t count = static_cast<std::uint32_t>(triangleCorners.size() / 3);
    bytes.append(reinterpret_cast<const char*>(&count), 4);
    for (std::uint32_t f = 0; f < count; ++f) {
        bytes.append(12, '\0');
        for (int v = 0; v < 3; ++v) {
            const Vec3& p = triangleCorners[f * 3 + v];
            const float xyz[3] = {float(p.x), float(p.y), float(p.z)};
            bytes.append(reinterpret_cast<const char*>(xyz), 12);
        }
        bytes.append(2, '\0');
    }
    return bytes;
}

// Two triangles under two nodes, each with a material of its own; the second node is nested
// under a turned and moved one.
std::string twoMaterialCollada() {
    const char* effect =
        "<effect id=\"%s\"><profile_COMMON><technique sid=\"t\"><lambert><diffuse><color>%s"
        "</color></diffuse></lambert></technique></profile_COMMON></effect>";
    auto fx = [&](const char* id, const char* rgba) {
        char buffer[400];
        std::snprintf(buffer, sizeof buffer, effect, id, rgba);
        return std::string(buffer);
    };
    auto geometry = [](const char* id, const char* points) {
        return std::string("<geometry id=\"") + id + "\"><mesh><source id=\"" + id +
               "p\"><float_array id=\"" + id + "a\" count=\"9\">" + points +
               "</float_array><technique_common><accessor source=\"#" + id +
               "a\" count=\"3\" stride=\"3\"><param name=\"X\" type=\"float\"/><param name=\"Y\""
               " type=\"float\"/><param name=\"Z\" type=\"float\"/></accessor></technique_common>"
               "</source><vertices id=\"" +
               id + "v\"><input semantic=\"POSITION\" source=\"#" + id +
               "p\"/></vertices><triangles material=\"m\" count=\"1\"><input semantic=\"VERTEX\" "
               "source=\"#" +
               id + "v\" offset=\"0\"/><p>0 1 2</p></triangles></mesh></geometry>";
    };
    auto instance = [](const char* geometryId, const char* material) {
        return std::string("<instance_geometry url=\"#") + geometryId +
               "\"><bind_material><technique_common><instance_material symbol=\"m\" target=\"#" +
               material + "\"/></technique_common></bind_material></instance_geometry>";
    };
    return std::string(
               "<?xml version=\"1.0\"?><COLLADA xmlns=\"http://www.collada.org/2005/11/"
               "COLLADASchema\" version=\"1.4.1\"><asset><up_axis>Z_UP</up_axis></asset>"
               "<library_effects>") +
           fx("red", "1 0 0 1") + fx("blue", "0 0 1 1") +
           "</library_effects><library_materials><material id=\"mr\"><instance_effect "
           "url=\"#red\"/>"
           "</material><material id=\"mb\"><instance_effect url=\"#blue\"/></material>"
           "</library_materials><library_geometries>" +
           geometry("g1", "0 0 0 1 0 0 0 1 0") + geometry("g2", "0 0 0 0 2 0 0 0 3") +
           "</library_geometries><library_visual_scenes><visual_scene id=\"s\">"
           "<node id=\"n1\"><matrix>1 0 0 0.5 0 1 0 0 0 0 1 0 0 0 0 1</matrix>" +
           instance("g1", "mr") +
           "</node><node id=\"n2\"><matrix>0 -1 0 1 1 0 0 0 0 0 1 0 0 0 0 1</matrix>"
           "<node id=\"n3\"><matrix>1 0 0 0 0 1 0 0 0 0 1 2 0 0 0 1</matrix>" +
           instance("g2", "mb") +
           "</node></node></visual_scene></library_visual_scenes><scene><instance_visual_scene "
           "url=\"#s\"/></scene></COLLADA>";
}

// Several visuals per link; a scaled STL found through package://; a COLLADA file with two
// materials and node transforms.
Robot meshes() {
    Robot r{"meshes", "", {}, {}};
    const std::vector<Vec3> tetra{{0, 0, 0},   {100, 0, 0}, {0, 100, 0}, {0, 0, 0},
                                  {0, 100, 0}, {0, 0, 300}, {0, 0, 0},   {0, 0, 300},
                                  {100, 0, 0}, {100, 0, 0}, {0, 0, 300}, {0, 100, 0}};
    r.files["pkgs/demo_description/meshes/tetra.stl"] = binaryStl(tetra);
    r.files["parts/two.dae"] = twoMaterialCollada();
    r.urdf =
        "<robot name=\"meshes\">\n"
        "<material name=\"green\"><color rgba=\"0 1 0 1\"/></material>\n"
        "<link name=\"base\">" +
        box("0.2 0.2 0.05", "xyz=\"0 0 0\"") +
        "<visual><origin xyz=\"0.1 0 0.1\" rpy=\"0 0 0.7\"/><geometry><mesh filename=\"package://"
        "demo_description/meshes/tetra.stl\" scale=\"0.001 0.002 0.0005\"/></geometry>"
        "<material name=\"green\"/></visual></link>\n"
        "<link name=\"arm\"><visual><origin xyz=\"0 0.05 0\" rpy=\"0.2 0 0\"/><geometry><mesh "
        "filename=\"parts/two.dae\" scale=\"0.1 0.1 0.1\"/></geometry></visual></link>\n" +
        joint("swing", "revolute", "base", "arm", "xyz=\"0 0 0.1\" rpy=\"0.1 0.2 0.3\"", "0 1 0") +
        "</robot>\n";
    r.drawnCorners["base"] = boxCorners({0.2, 0.2, 0.05}, pose(0, 0, 0, 0, 0, 0));
    const Frame tetraAt = fromPose(pose(0.1, 0, 0.1, 0, 0, 0.7));
    for (const Vec3& p : tetra)
        r.drawnCorners["base"].push_back(apply(tetraAt, {p.x * 0.001, p.y * 0.002, p.z * 0.0005}));
    // Node n1 moves triangle 1 by 0.5 along X; n2 turns by 90 degrees about Z after moving 1
    // along X, n3 moves 2 along Z first.
    const Frame twoAt = fromPose(pose(0, 0.05, 0, 0.2, 0, 0));
    const Vec3 dae[] = {{0.5, 0, 0}, {1.5, 0, 0}, {0.5, 1, 0}, {1, 0, 2}, {-1, 0, 2}, {1, 0, 5}};
    for (const Vec3& p : dae)
        r.drawnCorners["arm"].push_back(apply(twoAt, {p.x * 0.1, p.y * 0.1, p.z * 0.1}));
    return r;
}

// Every drawn vertex placed by the scene, and the box around them.
Box3 posedDrawing(const std::vector<PartsPose>& poses, const std::string& folder) {
    Box3 box;
    for (const PartsPose& p : poses) {
        if (p.object == nullptr) continue;
        for (const Vec3& v : readStl(folder + "/meshes/" + p.object->getName() + ".stl")) {
            box.add(transformPoint(p.objectPose, v));
        }
    }
    return box;
}

void expectNear(const Vec3& a, const Vec3& b, double tolerance, const std::string& what) {
    EXPECT_NEAR(a.x, b.x, tolerance) << what;
    EXPECT_NEAR(a.y, b.y, tolerance) << what;
    EXPECT_NEAR(a.z, b.z, tolerance) << what;
}

class ImportGeometry : public ::testing::TestWithParam<Robot (*)()> {};

TEST_P(ImportGeometry, EveryLinkAndDrawingStandsWhereTheUrdfPutsIt) {
    const Robot robot = GetParam()();
    TempDir dir;
    for (const auto& [name, bytes] : robot.files) {
        std::filesystem::create_directories(std::filesystem::path(dir.file(name)).parent_path());
        dir.write(name, bytes);
    }
    ImportOptions options;
    options.urdf = dir.write("robot.urdf", robot.urdf);
    options.outDir = dir.file("out");
    options.metres = robot.metres;
    // The package folder itself, named with a trailing slash as shells complete it.
    options.packagePaths.push_back(dir.file("pkgs/demo_description/"));
    importRobot(options);

    const std::shared_ptr<urdf::ModelInterface> model = urdf::parseURDF(robot.urdf);
    ASSERT_TRUE(model);
    const double unit = robot.metres ? 1.0 : 1000.0;
    WorkingDirectory inOut(options.outDir);
    SettingFileParser parser;
    const Parts* root = parser.parse("robot.txt");
    ASSERT_NE(root, nullptr);

    std::mt19937 random(7);
    std::uniform_real_distribution<double> value(-1.5, 1.5);
    for (int trial = 0; trial < kPoses; ++trial) {
        // Each DATAPORT line names its joint as the path: PARTS.JOINT.ELEMENT[.AXIS].
        std::map<std::string, double> q;
        PoseValues values = parser.defaultValues();
        for (const ValueBinding& b : parser.valueBindings()) {
            const std::string joint = b.source.substr(b.source.find('.') + 1);
            const std::string name = joint.substr(0, joint.find('.'));
            const bool prismatic = model->getJoint(name)->type == urdf::Joint::PRISMATIC;
            q[name] = prismatic ? value(random) / 10 : value(random);
            values.at(b.cell->slot()) = prismatic ? q[name] * unit : q[name] * 180.0 / kPi;
        }
        std::map<std::string, Frame> world{{model->getRoot()->name, Frame{}}};
        std::vector<urdf::LinkConstSharedPtr> pending{model->getRoot()};
        while (!pending.empty()) {
            const urdf::LinkConstSharedPtr link = pending.back();
            pending.pop_back();
            for (const auto& j : link->child_joints) {
                world[j->child_link_name] = world[link->name] *
                                            fromPose(j->parent_to_joint_origin_transform) *
                                            motion(*j, q.count(j->name) ? q[j->name] : 0.0);
                pending.push_back(model->getLink(j->child_link_name));
            }
        }
        std::vector<PartsPose> poses;
        composePartsPoses(*root, values, poses);
        const double tolerance = robot.tolerance * unit;
        Box3 expected;
        for (const auto& [name, frame] : world) {
            const std::string parts = name == model->getRoot()->name ? "ROOT" : name;
            const auto found = std::find_if(poses.begin(), poses.end(), [&](const PartsPose& p) {
                return p.parts->getName() == parts;
            });
            ASSERT_NE(found, poses.end()) << parts;
            const Frame want = inModelSpace(frame, unit);
            for (int r = 0; r < 3; ++r) {
                for (int c = 0; c < 4; ++c) {
                    EXPECT_NEAR(found->body.at(r, c), want.m[r][c], c == 3 ? tolerance : 1e-6)
                        << robot.label << " link " << name << " (" << r << "," << c << ")";
                }
            }
            for (const Vec3& corner : robot.drawnCorners.at(name)) {
                const Vec3 p = apply(want, {corner.x * unit, corner.y * unit, corner.z * unit});
                expected.add(p);
            }
        }
        const Box3 drawn = posedDrawing(poses, options.outDir);
        expectNear(drawn.min, expected.min, tolerance, std::string(robot.label) + " drawing min");
        expectNear(drawn.max, expected.max, tolerance, std::string(robot.label) + " drawing max");
    }
}

// Cylinders and spheres are written as meshes: a cylinder along Z of its radius and length, a
// sphere whose every vertex lies on it.
TEST(ImportPrimitives, CylinderAndSphereHaveTheirSize) {
    TempDir dir;
    ImportOptions options;
    options.urdf = dir.write("round.urdf",
                             "<robot name=\"round\"><link name=\"a\"><visual><geometry><cylinder "
                             "radius=\"0.1\" length=\"0.4\"/></geometry></visual><visual><geometry>"
                             "<sphere radius=\"0.25\"/></geometry></visual></link></robot>");
    options.outDir = dir.file("out");
    options.metres = true;
    importRobot(options);
    Box3 cylinder;
    double widest = 0.0;
    for (const Vec3& v : readStl(dir.file("out/meshes/a.stl"))) {
        cylinder.add(v);
        widest = std::max(widest, std::hypot(v.x, v.y));
    }
    expectNear(cylinder.min, {-0.1, -0.1, -0.2}, 1e-6, "cylinder");
    expectNear(cylinder.max, {0.1, 0.1, 0.2}, 1e-6, "cylinder");
    EXPECT_NEAR(widest, 0.1, 1e-6);
    const std::vector<Vec3> sphere = readStl(dir.file("out/meshes/a_2.stl"));
    ASSERT_FALSE(sphere.empty());
    for (const Vec3& v : sphere)
        EXPECT_NEAR(std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z), 0.25, 1e-6);
}

// Names the reader would split or cut (dots, blanks, brackets, "ROOT", long ones) are written
// so that the file reads back whole, every line within the reader's limit, and the data port
// takes the order --joints gives.
TEST(ImportNames, OddAndLongNamesReadBackInTheOrderAsked) {
    const std::string longName(90, 'n');
    std::string urdf = "<robot name=\"odd\"><link name=\"base\"/>";
    const std::vector<std::string> names{"a.b c", "ROOT", longName, longName + "x", "(x,y)"};
    std::string parent = "base";
    for (std::size_t i = 0; i < names.size(); ++i) {
        urdf += "<link name=\"" + names[i] + "\"/><joint name=\"" + names[i] +
                "\" type=\"revolute\"><parent link=\"" + parent + "\"/><child link=\"" + names[i] +
                "\"/><axis xyz=\"0 0 1\"/><limit lower=\"-1\" upper=\"1\" effort=\"1\" "
                "velocity=\"1\"/></joint>";
        parent = names[i];
    }
    TempDir dir;
    ImportOptions options;
    options.urdf = dir.write("odd.urdf", urdf + "</robot>");
    options.outDir = dir.file("out");
    options.joints = {"(x,y)", "ROOT"};
    importRobot(options);
    std::ifstream in(dir.file("out/odd.txt"));
    for (std::string line; std::getline(in, line);) EXPECT_LE(line.size(), 79u) << line;
    WorkingDirectory inOut(options.outDir);
    SettingFileParser parser;
    ASSERT_NE(parser.parse("odd.txt"), nullptr);
    EXPECT_EQ(parser.partsByName().size(), names.size() + 1);
    ASSERT_EQ(parser.valueBindings().size(), names.size());
    EXPECT_EQ(parser.valueBindings()[0].source, std::string(22, 'n') + "_2._x_y_._x_y_");
    EXPECT_EQ(parser.valueBindings()[1].source, "a_b_c.ROOT.ROOT");
    EXPECT_EQ(parser.valueBindings()[2].source, "ROOT.a_b_c.a_b_c");
}

std::string robotLabel(const ::testing::TestParamInfo<Robot (*)()>& info) {
    return info.param().label;
}

INSTANTIATE_TEST_SUITE_P(Robots, ImportGeometry,
                         ::testing::Values(&revoluteChain, &prismaticTree, &meshes), robotLabel);

}  // namespace
}  // namespace pelorin
