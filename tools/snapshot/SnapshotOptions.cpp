#include "tools/snapshot/SnapshotOptions.h"

#include <cmath>
#include <string_view>
#include <utility>

#include "tools/snapshot/SnapshotMessages.h"
#include "util/NumberText.h"
#include "viewer/OffscreenFrame.h"

namespace pelorin {
namespace {

namespace m = snapshot_messages;

bool fail(SnapshotOptionError& error, std::string_view message, std::string argument) {
    error.message = message;
    error.argument = std::move(argument);
    return false;
}

bool readNumber(const std::string& text, double& value) {
    return pelorin::readNumber(text, -HUGE_VAL, HUGE_VAL, value) == NumberProblem::None;
}

bool readValues(const std::string& list, std::vector<double>& values, SnapshotOptionError& error) {
    values.clear();
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = list.find(',', start);
        const std::string item = list.substr(start, comma - start);
        double value = 0.0;
        if (!readNumber(item, value)) return fail(error, m::kNotANumber, item);
        values.push_back(value);
        if (comma == std::string::npos) return true;
        start = comma + 1;
    }
}

bool readSide(const std::string& text, int& side) {
    long value = 0;
    if (pelorin::readWholeNumber(text, 0, OffscreenRenderer::kMaxSide, value) !=
        NumberProblem::None)
        return false;
    side = static_cast<int>(value);
    return true;
}

bool readSize(const std::string& text, int& width, int& height) {
    const std::size_t cross = text.find_first_of("xX");
    if (cross == std::string::npos) return false;
    return readSide(text.substr(0, cross), width) && readSide(text.substr(cross + 1), height) &&
           OffscreenRenderer::sizeAllowed(width, height);
}

}  // namespace

bool parseSnapshotOptions(int argc, const char* const* argv, SnapshotOptions& options,
                          SnapshotOptionError& error) {
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            options.help = true;
            return true;
        }
        if (arg == "--fit") {
            options.fit = true;
        } else if (arg == "--values" || arg == "--size") {
            if (i + 1 >= argc) return fail(error, m::kMissingArgument, arg);
            const std::string value = argv[++i];
            if (arg == "--values" && !readValues(value, options.values, error)) return false;
            if (arg == "--size" && !readSize(value, options.width, options.height)) {
                return fail(error, m::kBadSize, value);
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            return fail(error, m::kUnknownOption, arg);
        } else {
            files.push_back(arg);
        }
    }
    if (files.size() != 2) return fail(error, m::kWrongArgumentCount, "");
    options.settingFile = files[0];
    options.outputFile = files[1];
    return true;
}

}  // namespace pelorin
