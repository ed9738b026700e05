#include "tools/import/JointLines.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>

#include "tools/import/ImportError.h"
#include "tools/import/ImportMessages.h"

namespace pelorin {
namespace {

namespace m = import_messages;

constexpr double kDegreesPerRadian = 180.0 / 3.14159265358979323846;
constexpr double kOnAxis = 1e-12;  // how close a unit axis must be to X, Y or Z to be taken so
constexpr int kJointColumn = 24;
constexpr int kTypeColumn = 10;

std::string n(double value) {
    return SettingText::number(value);
}

bool movable(const urdf::Joint& joint) {
    return joint.type == urdf::Joint::REVOLUTE || joint.type == urdf::Joint::CONTINUOUS ||
           joint.type == urdf::Joint::PRISMATIC;
}

std::string typeName(const urdf::Joint& joint) {
    switch (joint.type) {
        case urdf::Joint::REVOLUTE:
            return "revolute";
        case urdf::Joint::CONTINUOUS:
            return "continuous";
        case urdf::Joint::PRISMATIC:
            return "prismatic";
        case urdf::Joint::FLOATING:
            return "floating";
        case urdf::Joint::PLANAR:
            return "planar";
        case urdf::Joint::FIXED:
            return "fixed";
        case urdf::Joint::UNKNOWN:
            break;
    }
    return "unknown";
}

// "X", "-Y", ... when the unit axis lies along one; empty otherwise.
std::string axisLetter(const urdf::Vector3& a) {
    const double v[3] = {a.x, a.y, a.z};
    for (int i = 0; i < 3; ++i) {
        const double rest = std::fabs(v[(i + 1) % 3]) + std::fabs(v[(i + 2) % 3]);
        if (rest < kOnAxis && std::fabs(std::fabs(v[i]) - 1.0) < kOnAxis) {
            return std::string(v[i] < 0 ? "-" : "") + "XYZ"[i];
        }
    }
    return "";
}

// The joint's motion about (or along) Z between fixed rotations that turn Z onto the axis:
// Rz(azimuth) Ry(polar) takes Z to (sin p cos a, sin p sin a, cos p).
void writeTurnedMotion(SettingText& text, const urdf::Vector3& a, const std::string& motion) {
    const double azimuth = std::atan2(a.y, a.x) * kDegreesPerRadian;
    const double polar = std::acos(std::clamp(a.z, -1.0, 1.0)) * kDegreesPerRadian;
    const bool turnAbout = n(azimuth) != "0";
    text.comment("Axis " + n(a.x) + " " + n(a.y) + " " + n(a.z) + ": Z turned onto it, and back.");
    if (turnAbout) text.line("TRANS = ROTATION(Z," + n(azimuth) + ")");
    text.line("TRANS = ROTATION(Y," + n(polar) + ")");
    text.line(motion);
    text.line("TRANS = ROTATION(Y," + n(-polar) + ")");
    if (turnAbout) text.line("TRANS = ROTATION(Z," + n(-azimuth) + ")");
}

urdf::Vector3 unitAxis(const urdf::Joint& joint, const std::string& where) {
    const urdf::Vector3& a = joint.axis;
    const double length = std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
    if (!(length > 0.0) || !std::isfinite(length)) {
        throw ImportError(where + std::string(m::kZeroAxis));
    }
    return urdf::Vector3(a.x / length, a.y / length, a.z / length);
}

std::string motionLines(SettingText& text, const urdf::Joint& joint, const std::string& name,
                        const std::string& where) {
    const urdf::Vector3 a = unitAxis(joint, where);
    const std::string letter = axisLetter(a);
    if (joint.type == urdf::Joint::PRISMATIC) {
        if (!letter.empty() && letter[0] != '-') {
            text.line("TRANS = TRANSLATION(" + name + ",0,0,0)");
            return name + "." + letter;
        }
        writeTurnedMotion(text, a, "TRANS = TRANSLATION(" + name + ",0,0,0)");
        return name + ".Z";
    }
    if (!letter.empty()) {
        text.line("TRANS = ROTATION(" + name + "," + letter + ",0)");
    } else {
        writeTurnedMotion(text, a, "TRANS = ROTATION(" + name + ",Z,0)");
    }
    return name;
}

std::string limitsText(const urdf::Joint& joint, double unit) {
    if (joint.type == urdf::Joint::CONTINUOUS || !joint.limits) return "none";
    const double scale = joint.type == urdf::Joint::PRISMATIC ? unit : kDegreesPerRadian;
    return n(joint.limits->lower * scale) + " .. " + n(joint.limits->upper * scale);
}

std::string padded(std::string text, int width) {
    if (static_cast<int>(text.size()) < width) text.resize(width, ' ');
    return text + " ";
}

}  // namespace

void writePoseLines(SettingText& text, const urdf::Pose& pose, double unit) {
    const urdf::Vector3& p = pose.position;
    if (n(p.x * unit) != "0" || n(p.y * unit) != "0" || n(p.z * unit) != "0") {
        text.line("TRANS = TRANSLATION(" + n(p.x * unit) + "," + n(p.y * unit) + "," +
                  n(p.z * unit) + ")");
    }
    double roll = 0.0, pitch = 0.0, yaw = 0.0;
    pose.rotation.getRPY(roll, pitch, yaw);
    const std::pair<char, double> turns[] = {{'Z', yaw}, {'Y', pitch}, {'X', roll}};
    for (const auto& [axis, radians] : turns) {
        const std::string degrees = n(radians * kDegreesPerRadian);
        if (degrees != "0")
            text.line(std::string("TRANS = ROTATION(") + axis + "," + degrees + ")");
    }
}

std::string colourText(const Rgba& c) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%.3g,%.3g,%.3g", std::clamp(c.r, 0.0, 1.0),
                  std::clamp(c.g, 0.0, 1.0), std::clamp(c.b, 0.0, 1.0));
    return buffer;
}

std::optional<std::string> writeJointLines(SettingText& text, const urdf::Joint& joint,
                                           const std::string& name, double unit,
                                           const std::string& where,
                                           std::vector<std::string>& warnings) {
    const std::string renamed = name != joint.name ? ", written as " + name : "";
    text.comment("Joint " + joint.name + renamed + ": " + typeName(joint));
    const urdf::Pose& origin = joint.parent_to_joint_origin_transform;
    double roll = 0.0, pitch = 0.0, yaw = 0.0;
    origin.rotation.getRPY(roll, pitch, yaw);
    const std::string xyz =
        n(origin.position.x) + " " + n(origin.position.y) + " " + n(origin.position.z);
    const std::string rpy = n(roll) + " " + n(pitch) + " " + n(yaw);
    if (xyz != "0 0 0" || rpy != "0 0 0") {
        text.comment("URDF origin xyz=\"" + xyz + "\" rpy=\"" + rpy + "\" (m, rad)");
    }
    writePoseLines(text, origin, unit);
    if (joint.type == urdf::Joint::PLANAR || joint.type == urdf::Joint::FLOATING) {
        warnings.push_back("joint '" + joint.name + "'" + std::string(m::kPlanarFloating) +
                           typeName(joint));
        text.comment("A " + typeName(joint) + " joint stays at its origin here.");
        return std::nullopt;
    }
    if (!movable(joint)) return std::nullopt;
    if (joint.mimic) {
        text.comment("Mimics " + joint.mimic->joint_name + ": its value is sent on its own.");
    }
    return motionLines(text, joint, name, where);
}

std::vector<std::string> dataPortOrder(const urdf::ModelInterface& model,
                                       const std::vector<std::string>& documentOrder,
                                       const std::vector<std::string>& listed,
                                       std::vector<std::string>& warnings) {
    std::vector<std::string> order;
    std::set<std::string> taken;
    for (const std::string& name : listed) {
        const urdf::JointConstSharedPtr joint = model.getJoint(name);
        if (!joint || !movable(*joint)) throw ImportError(std::string(m::kNotMovable) + name);
        if (!taken.insert(name).second) throw ImportError(std::string(m::kListedTwice) + name);
        order.push_back(name);
    }
    for (const std::string& name : documentOrder) {
        const urdf::JointConstSharedPtr joint = model.getJoint(name);
        if (!joint || !movable(*joint) || taken.count(name) != 0) continue;
        if (!listed.empty())
            warnings.push_back("joint '" + name + "'" + std::string(m::kUnlistedJoint));
        order.push_back(name);
    }
    for (const std::string& name : order) {
        const urdf::JointConstSharedPtr joint = model.getJoint(name);
        if (!joint->mimic) continue;
        warnings.push_back("joint '" + name + "'" + std::string(m::kMimic) + "'" +
                           joint->mimic->joint_name + "'" + std::string(m::kMimicOwnValue));
    }
    return order;
}

void writeValueTable(SettingText& text, const urdf::ModelInterface& model,
                     const std::vector<std::string>& order, double unit,
                     const std::string& unitName) {
    if (order.empty()) {
        text.comment("No movable joints: no data-port values.");
        return;
    }
    text.comment("value " + padded("joint", kJointColumn) + padded("type", kTypeColumn) +
                 "unit limits");
    for (std::size_t i = 0; i < order.size(); ++i) {
        const urdf::Joint& joint = *model.getJoint(order[i]);
        const bool prismatic = joint.type == urdf::Joint::PRISMATIC;
        text.comment(padded(std::to_string(i), 5) + padded(joint.name, kJointColumn) +
                     padded(typeName(joint), kTypeColumn) +
                     padded(prismatic ? unitName : "deg", 4) + limitsText(joint, unit));
    }
    for (std::size_t i = 0; i < order.size(); ++i) {
        const urdf::Joint& joint = *model.getJoint(order[i]);
        if (!joint.mimic) continue;
        const double scale = joint.type == urdf::Joint::PRISMATIC ? unit : kDegreesPerRadian;
        text.comment("Value " + std::to_string(i) + " mimics " + joint.mimic->joint_name +
                     ": send " + n(joint.mimic->multiplier) + " * its value + " +
                     n(joint.mimic->offset * scale) + ".");
    }
}

}  // namespace pelorin
