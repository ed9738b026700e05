#include "tools/import/ImportOptions.h"

#include <sstream>

#include "tools/import/ImportError.h"
#include "tools/import/ImportMessages.h"

namespace pelorin {
namespace {

namespace m = import_messages;

std::vector<std::string> splitList(const std::string& list) {
    std::vector<std::string> items;
    std::istringstream in(list);
    std::string item;
    while (std::getline(in, item, ',')) {
        if (!item.empty()) items.push_back(item);
    }
    return items;
}

}  // namespace

ImportOptions readImportOptions(int argc, const char* const argv[]) {
    ImportOptions options;
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool takesValue = arg == "--package-path" || arg == "--joints" || arg == "--unit";
        if (takesValue && i + 1 >= argc) throw ImportError(std::string(m::kMissingArgument) + arg);
        if (arg == "--package-path") {
            options.packagePaths.emplace_back(argv[++i]);
        } else if (arg == "--joints") {
            options.joints = splitList(argv[++i]);
        } else if (arg == "--unit") {
            const std::string unit = argv[++i];
            if (unit != "mm" && unit != "m") throw ImportError(std::string(m::kBadUnit) + unit);
            options.metres = unit == "m";
        } else if (arg == "--collision") {
            options.collision = true;
        } else if (arg == "--force") {
            options.force = true;
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw ImportError(std::string(m::kUnknownOption) + arg);
        } else {
            positional.push_back(arg);
        }
    }
    if (options.help) return options;
    if (positional.size() != 2) throw ImportError(std::string(m::kWrongArgumentCount));
    options.urdf = positional[0];
    options.outDir = positional[1];
    return options;
}

}  // namespace pelorin
