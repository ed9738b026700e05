// The command line of pelorin-import.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace pelorin {

struct ImportOptions {
    std::string urdf;
    std::string outDir;
    std::vector<std::filesystem::path> packagePaths;  // --package-path, in order
    std::vector<std::string> joints;                  // --joints: data-port order
    bool metres = false;                              // --unit m (default millimetres)
    bool collision = false;
    bool force = false;
    bool help = false;
};

// Reads argv; throws ImportError for an unknown option, a missing value or a wrong count.
ImportOptions readImportOptions(int argc, const char* const argv[]);

}  // namespace pelorin
