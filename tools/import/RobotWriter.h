// Writes a URDF robot as a Pelorin setting file and binary STL meshes:
//   - one Parts per link ("ROOT" for the root link, turned upright: URDF is Z-up, the viewer's
//     up is Y); each joint an output path of its parent link's Parts holding the joint's origin
//     (TRANSLATION, then the fixed rotations of yaw, pitch and roll) and its motion;
//   - revolute and continuous joints a ROTATION, prismatic ones a TRANSLATION, each bound by a
//     DATAPORT line; an axis off X, Y and Z (and a prismatic one along -X, -Y or -Z) is turned
//     onto Z by fixed rotations, moved along Z, and turned back;
//   - every visual (or collision) geometry a drawn STL at its origin, one per material of the
//     mesh file; a link's first one in its own Parts, further ones in Parts hung on it unmoved.
// Lengths are millimetres (or metres); values degrees for rotations, the length unit for
// translations. Meshes are read one at a time and streamed to their STL files.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tools/import/ImportOptions.h"
#include "tools/import/UrdfReader.h"

namespace pelorin {

struct ImportSummary {
    std::vector<std::string> warnings;
    std::size_t meshFiles = 0;
    std::size_t values = 0;   // DATAPORT lines
    std::string settingFile;  // OUTDIR/ROBOT.txt
};

// Writes `settingName` and the folder "meshes" into `folder`, which exists. Throws ImportError.
ImportSummary writeRobot(const UrdfDescription& description, const ImportOptions& options,
                         const std::filesystem::path& folder, const std::string& settingName);

// The whole import: reads options.urdf, writes OUTDIR/ROBOT.txt (ROBOT the URDF file's name
// without its extension) and OUTDIR/meshes all or nothing. Throws ImportError.
ImportSummary importRobot(const ImportOptions& options);

}  // namespace pelorin
