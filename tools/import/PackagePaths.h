// Turns the mesh references of a URDF into file paths:
//   package://NAME/REST  NAME looked up in the package places, in order: each --package-path
//                        folder and each ROS_PACKAGE_PATH entry is either the package folder
//                        itself (its name is NAME) or holds it (DIR/NAME, or one level deeper,
//                        DIR/*/NAME, as repositories that hold several packages do)
//   file:///abs/path     that path
//   file://rel, rel      relative to the URDF's folder; an absolute path stays as it is
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace pelorin {

class PackagePaths {
  public:
    PackagePaths(std::vector<std::filesystem::path> places, std::filesystem::path urdfFolder);

    // The places of a colon-separated list such as ROS_PACKAGE_PATH (empty entries skipped).
    static std::vector<std::filesystem::path> splitSearchPath(const std::string& list);

    // The file `uri` names. Throws ImportError, with `where` (file, line and link) in front,
    // for an unknown package (listing the places searched) and for a file that does not exist
    // or is not a regular file.
    std::filesystem::path resolve(const std::string& uri, const std::string& where) const;

  private:
    std::filesystem::path findPackage(const std::string& name, const std::string& uri,
                                      const std::string& where) const;

    std::vector<std::filesystem::path> places_;
    std::filesystem::path urdfFolder_;
};

}  // namespace pelorin
