// pelorin-check FILE [--values v1,v2,...] [--poses]: reads and links a setting file as the viewer
// does at start-up (writing "PASER_LOG.txt" in the working directory), then prints every
// registered Parts and the value table; with --poses also where each drawn object stands under
// the file's values, or under --values taken for the value table in order (tools/check/
// PoseReport.h). Exit status 0 when the file is usable, 1 otherwise (memory running out, an
// unusable command line and values that do not fit included).
#include <new>
#include <string>
#include <vector>

#include "scene/Parts.h"
#include "scene/TransformValue.h"
#include "setting/SettingFileParser.h"
#include "tools/check/CheckMessages.h"
#include "tools/check/PoseReport.h"
#include "util/InputFile.h"
#include "util/MessageStream.h"

namespace {

namespace m = pelorin::check_messages;
using pelorin::Console;

constexpr int kSuccess = 0;
constexpr int kFailure = 1;

struct CheckOptions {
    const char* file = nullptr;
    bool poses = false;
    std::vector<double> values;  // for the value table, in order
};

// False after a message: the usage for an unusable line, or the item that is not a number.
bool readOptions(int argc, char** argv, CheckOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--poses") {
            options.poses = true;
        } else if (arg == "--values" && i + 1 < argc) {
            std::string bad;
            if (!pelorin::readValueList(argv[++i], options.values, bad)) {
                const auto position = static_cast<unsigned long>(options.values.size() + 1);
                Console::err().msg(m::kBadValueOpen) << position;
                Console::err().msg(m::kBadValueMiddle).raw(bad).msg(m::kBadValueClose).flush();
                return false;
            }
        } else if (options.file == nullptr && arg.rfind("--", 0) != 0) {
            options.file = argv[i];
        } else {
            options.file = nullptr;
            break;
        }
    }
    if (options.file == nullptr) Console::err().msg(m::kUsage).flush();
    return options.file != nullptr;
}

std::string_view kindName(pelorin::ValueKind kind) {
    switch (kind) {
        case pelorin::ValueKind::Angle:
            return m::kKindAngle;
        case pelorin::ValueKind::X:
            return m::kKindX;
        case pelorin::ValueKind::Y:
            return m::kKindY;
        case pelorin::ValueKind::Z:
            return m::kKindZ;
    }
    return m::kKindAngle;
}

void printParts(const pelorin::SettingFileParser& parser) {
    auto& out = Console::out();
    out.msg(m::kPartsHeading) << static_cast<unsigned long>(parser.partsByName().size());
    out.endl();
    for (const auto& entry : parser.partsByName()) entry.second->dump(0, out);
}

void printValueTable(const pelorin::SettingFileParser& parser) {
    auto& out = Console::out();
    out.msg(m::kValueTableHeading) << static_cast<unsigned long>(parser.valueBindings().size());
    out.endl();
    out.msg(m::kValueColumns).endl();
    int index = 0;
    for (const pelorin::ValueBinding& binding : parser.valueBindings()) {
        out << index++;
        out.raw("\t").raw(binding.source).raw("\t").msg(kindName(binding.kind)).raw("\t")
            << binding.cell->initial();
        out.endl();
    }
}

// The file's values with `values` taken for the table's first entries; more values than the
// table has are refused.
bool printPoseLines(const pelorin::SettingFileParser& parser, const std::vector<double>& values) {
    const auto& table = parser.valueTable();
    if (values.size() > table.size()) {
        Console::err().msg(m::kTooManyValuesOpen) << static_cast<unsigned long>(table.size());
        Console::err().msg(m::kTooManyValuesMiddle) << static_cast<unsigned long>(values.size());
        Console::err().msg(m::kTooManyValuesClose).flush();
        return false;
    }
    pelorin::PoseValues set = parser.defaultValues();
    pelorin::applyReceivedValues(table, values.data(), values.size(), set);
    pelorin::printPoses(*parser.root(), set, Console::out());
    Console::out().flush();
    return true;
}

int check(const CheckOptions& options) {
    const char* path = options.file;
    // A FIFO is refused at once, not waited on, as are directories, devices and sockets.
    if (!pelorin::acceptInputFile(
            path, Console::err(),
            {m::kCannotOpenOpen, m::kCannotOpenClose, m::kNotRegularFileClose}))
        return kFailure;
    // Kept until the process ends, as in the viewer: tearing the tree down would only add the
    // drawn objects' farewell lines to the output.
    static auto* parser = new pelorin::SettingFileParser;
    if (parser->parse(path) == nullptr) {
        Console::out().msg(m::kParseFailed).flush();
        return kFailure;
    }
    printParts(*parser);
    printValueTable(*parser);
    if (options.poses && !printPoseLines(*parser, options.values)) return kFailure;
    return kSuccess;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        CheckOptions options;
        if (!readOptions(argc, argv, options)) return kFailure;
        return check(options);
    } catch (const std::bad_alloc&) {
        // The parser reports its own shortage; this catches what is left, printing included.
        Console::err().msg(m::kOutOfMemory).flush();
        return kFailure;
    }
}
