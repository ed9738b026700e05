// Texts of pelorin-import. Errors name the file (and its line where there is one) first.
#pragma once

#include <string_view>

namespace pelorin::import_messages {

inline constexpr std::string_view kUsage =
    "Usage: pelorin-import [options] ROBOT.urdf OUTDIR\n"
    "Writes OUTDIR/ROBOT.txt, a Pelorin setting file, and the meshes it names, so that\n"
    "`cd OUTDIR && pelorin ROBOT.txt` shows the robot. Xacro files are not read: expand them\n"
    "first with `xacro ROBOT.urdf.xacro > ROBOT.urdf`.\n"
    "  --package-path DIR  where package:// meshes are looked up (repeatable): a folder of\n"
    "                      packages or a package folder itself; ROS_PACKAGE_PATH is searched too\n"
    "  --joints a,b,c      data-port order of the movable joints (default: document order)\n"
    "  --unit mm|m         length unit of the written file (default mm)\n"
    "  --collision         draw the collision geometry instead of the visual one\n"
    "  --force             replace an existing OUTDIR\n";
inline constexpr std::string_view kPrefix = "pelorin-import: ";
inline constexpr std::string_view kWarning = "warning: ";

// Command line.
inline constexpr std::string_view kUnknownOption = "unknown option: ";
inline constexpr std::string_view kMissingArgument = "option needs a value: ";
inline constexpr std::string_view kBadUnit = "--unit takes mm or m, not: ";
inline constexpr std::string_view kWrongArgumentCount = "give one URDF file and one output folder";

// Output folder.
inline constexpr std::string_view kOutputExists = "exists already (use --force to replace it)";
inline constexpr std::string_view kCannotCreate = "cannot create: ";
inline constexpr std::string_view kCannotWrite = "cannot write: ";

// The description.
inline constexpr std::string_view kCannotRead = "cannot read the file";
inline constexpr std::string_view kNotXml = "not XML: ";
inline constexpr std::string_view kXacro =
    "is a xacro file; expand it first: xacro FILE.xacro > FILE.urdf";
inline constexpr std::string_view kNotUrdf = "not a URDF: the top element is <";
inline constexpr std::string_view kNotUrdfClose = ">, not <robot>";
inline constexpr std::string_view kNoLinks = "not a URDF: no <link> element";
inline constexpr std::string_view kNoName = "has no name";
inline constexpr std::string_view kDuplicateLink = "a second link named ";
inline constexpr std::string_view kDuplicateJoint = "a second joint named ";
inline constexpr std::string_view kNoEnd =
    " needs <parent link=\"...\"/> and <child link=\"...\"/>";
inline constexpr std::string_view kUnknownLink = " names unknown link ";
inline constexpr std::string_view kTwoParents = " is the child of two joints: ";
inline constexpr std::string_view kSeveralRoots = "several root links: ";
inline constexpr std::string_view kCycle = "the joints form a cycle through link ";
inline constexpr std::string_view kUrdfRefused = "not a valid URDF: ";
inline constexpr std::string_view kZeroAxis = "its axis has length zero";

// Meshes.
inline constexpr std::string_view kMeshMissing = "mesh file not found: ";
inline constexpr std::string_view kMeshUnreadable = "mesh file cannot be read: ";
inline constexpr std::string_view kUnknownPackage = "unknown package in ";
inline constexpr std::string_view kSearched = "; searched: ";
inline constexpr std::string_view kNothingSearched = "(no --package-path, ROS_PACKAGE_PATH unset)";
inline constexpr std::string_view kMeshFormat = "mesh format not readable: ";
inline constexpr std::string_view kMeshEmpty = "mesh holds no triangles: ";

// Warnings and the summary.
inline constexpr std::string_view kTextures = "textures are not drawn (first in link ";
inline constexpr std::string_view kPlanarFloating = " stays at its origin: its type is ";
inline constexpr std::string_view kMimic = " mimics ";
inline constexpr std::string_view kMimicOwnValue = " and gets a data-port value of its own";
inline constexpr std::string_view kUnlistedJoint =
    " is not in --joints; its value comes after theirs";
inline constexpr std::string_view kNotMovable = "--joints names no movable joint: ";
inline constexpr std::string_view kListedTwice = "--joints names a joint twice: ";
inline constexpr std::string_view kRenamed = " is written as ";
inline constexpr std::string_view kWritten = "wrote ";

}  // namespace pelorin::import_messages
