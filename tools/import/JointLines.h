// The setting-file lines of URDF origins and joints, and the data-port order and its table.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <urdf_model/model.h>

#include "tools/import/SettingText.h"
#include "tools/import/VisualMesh.h"

namespace pelorin {

// TRANS lines for an origin: TRANSLATION by its xyz (metres times `unit`), then the fixed
// rotations of yaw about Z, pitch about Y and roll about X, in degrees; zero parts are left out.
void writePoseLines(SettingText& text, const urdf::Pose& pose, double unit);

// "r,g,b" for a COLOR line.
std::string colourText(const Rgba& colour);

// The joint's comment, origin and motion lines, inside its BEGIN CHILD block. Returns what
// follows "PARTS.PATH." in its DATAPORT line ("NAME" for a rotation, "NAME.X" for a
// translation), or nothing for a joint that takes no value (fixed, planar, floating; the last
// two with a warning). Throws ImportError (`where` in front) for an axis of length zero.
std::optional<std::string> writeJointLines(SettingText& text, const urdf::Joint& joint,
                                           const std::string& name, double unit,
                                           const std::string& where,
                                           std::vector<std::string>& warnings);

// The movable joints (revolute, continuous, prismatic) in data-port order: those `listed`
// first, in that order, then the others in document order (with a warning each). Throws
// ImportError when `listed` names a joint twice or one that is not movable.
std::vector<std::string> dataPortOrder(const urdf::ModelInterface& model,
                                       const std::vector<std::string>& documentOrder,
                                       const std::vector<std::string>& listed,
                                       std::vector<std::string>& warnings);

// The comment table: value index, joint name, type, unit and limits, and a note per mimic joint.
void writeValueTable(SettingText& text, const urdf::ModelInterface& model,
                     const std::vector<std::string>& order, double unit,
                     const std::string& unitName);

}  // namespace pelorin
