// pelorin-check FILE: reads and links a setting file as the viewer does at start-up (writing
// "PASER_LOG.txt" in the working directory), then prints every registered Parts and the value
// table. Exit status 0 when the file is usable, 1 otherwise (memory running out included).
#include <new>
#include <string>

#include "scene/Parts.h"
#include "scene/TransformValue.h"
#include "setting/SettingFileParser.h"
#include "tools/check/CheckMessages.h"
#include "util/InputFile.h"
#include "util/MessageStream.h"

namespace {

namespace m = pelorin::check_messages;
using pelorin::Console;

constexpr int kExpectedArgc = 2;
constexpr int kSuccess = 0;
constexpr int kFailure = 1;

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
            << binding.cell->get();
        out.endl();
    }
}

int check(const char* path) {
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
    return kSuccess;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != kExpectedArgc) {
        Console::err().msg(m::kUsage).flush();
        return kFailure;
    }
    try {
        return check(argv[1]);
    } catch (const std::bad_alloc&) {
        // The parser reports its own shortage; this catches what is left, printing included.
        Console::err().msg(m::kOutOfMemory).flush();
        return kFailure;
    }
}
