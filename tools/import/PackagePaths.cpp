#include "tools/import/PackagePaths.h"

#include <fstream>
#include <sstream>
#include <system_error>

#include "tools/import/ImportError.h"
#include "tools/import/ImportMessages.h"

namespace pelorin {
namespace {

namespace fs = std::filesystem;
namespace m = import_messages;

constexpr std::string_view kPackageScheme = "package://";
constexpr std::string_view kFileScheme = "file://";

bool startsWith(const std::string& text, std::string_view prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool isFolder(const fs::path& path) {
    std::error_code ignored;
    return fs::is_directory(path, ignored);
}

}  // namespace

PackagePaths::PackagePaths(std::vector<fs::path> places, fs::path urdfFolder)
    : places_(std::move(places)), urdfFolder_(std::move(urdfFolder)) {
    // "DIR/" names the package DIR as well as "DIR" does.
    for (fs::path& place : places_) {
        while (!place.has_filename() && place.has_parent_path() && place != place.root_path()) {
            place = place.parent_path();
        }
    }
}

std::vector<fs::path> PackagePaths::splitSearchPath(const std::string& list) {
    std::vector<fs::path> places;
    std::istringstream in(list);
    std::string entry;
    while (std::getline(in, entry, ':')) {
        if (!entry.empty()) places.emplace_back(entry);
    }
    return places;
}

fs::path PackagePaths::findPackage(const std::string& name, const std::string& uri,
                                   const std::string& where) const {
    for (const fs::path& place : places_) {
        if (place.filename() == name && isFolder(place)) return place;
        if (isFolder(place / name)) return place / name;
    }
    // One level deeper only after every place was tried at the top.
    for (const fs::path& place : places_) {
        std::error_code error;
        for (fs::directory_iterator it(place, error), end; !error && it != end;
             it.increment(error)) {
            if (isFolder(it->path() / name)) return it->path() / name;
        }
    }
    std::string searched;
    for (const fs::path& place : places_)
        searched += (searched.empty() ? "" : ", ") + place.string();
    if (searched.empty()) searched = m::kNothingSearched;
    throw ImportError(where + std::string(m::kUnknownPackage) + uri + std::string(m::kSearched) +
                      searched);
}

fs::path PackagePaths::resolve(const std::string& uri, const std::string& where) const {
    fs::path path;
    if (startsWith(uri, kPackageScheme)) {
        const std::string rest = uri.substr(kPackageScheme.size());
        const std::size_t slash = rest.find('/');
        const std::string name = rest.substr(0, slash);
        path = findPackage(name, uri, where);
        if (slash != std::string::npos) path /= rest.substr(slash + 1);
    } else {
        path =
            startsWith(uri, kFileScheme) ? fs::path(uri.substr(kFileScheme.size())) : fs::path(uri);
        if (path.is_relative()) path = urdfFolder_ / path;
    }
    std::error_code error;
    if (!fs::is_regular_file(path, error)) {
        throw ImportError(where + std::string(m::kMeshMissing) + uri + " (" + path.string() + ")");
    }
    if (!std::ifstream(path, std::ios::binary).is_open()) {
        throw ImportError(where + std::string(m::kMeshUnreadable) + uri + " (" + path.string() +
                          ")");
    }
    return path;
}

}  // namespace pelorin
