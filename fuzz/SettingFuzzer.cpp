// A setting file end to end, as pelorin-check and the viewer take it: read from a file (writing
// PASER_LOG.txt), its meshes loaded, the tree linked, dumped and (up to a robot's size) posed
// under extreme values.
//
// An input is the setting file, optionally followed by a line "--- mesh.stl ---" and the bytes
// of a mesh the file may name as "mesh.stl". Everything happens in a private directory that is
// the working directory of the process and is removed at exit: the setting file, the log, the
// mesh, and fixed neighbours to name ("ascii.stl", "binary.stl", a FIFO "fifo.stl" that must be
// refused without waiting, a directory "dir.stl"). Every input rewrites the same few files, so
// the disk does not grow. The same text read from a stream must give the same tree.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "scene/Parts.h"
#include "scene/PartsPose.h"
#include "scene/PosedBounds.h"
#include "scene/TransformValue.h"
#include "setting/SettingFileParser.h"
#include "util/MessageStream.h"

namespace {

using pelorin::fuzz::check;

constexpr std::string_view kMeshMark = "\n--- mesh.stl ---\n";
constexpr const char* kSettingFile = "setting.txt";
constexpr const char* kMeshFile = "mesh.stl";

std::filesystem::path privateDir;
pelorin::StringSink consoleSink;

void removePrivateDir() {
    std::error_code ignored;
    std::filesystem::remove_all(privateDir, ignored);
}

void writeFile(const char* name, std::string_view bytes) {
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    check(static_cast<bool>(out), "writing a file in the private directory");
}

// A binary mesh of two facets (floats in the machine's order, which is little-endian here).
std::string twoFacetBinary() {
    std::string bytes(84 + 2 * 50, '\0');
    bytes[80] = 2;
    for (int facet = 0; facet < 2; ++facet) {
        for (int k = 0; k < 9; ++k) {
            const float coordinate = static_cast<float>(facet * 10 + k);
            std::memcpy(&bytes[84 + facet * 50 + 12 + 4 * k], &coordinate, sizeof coordinate);
        }
    }
    return bytes;
}

void makePrivateDir() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/pelorin-fuzz-setting-XXXXXX";
    check(mkdtemp(pattern.data()) != nullptr, "creating the private directory");
    privateDir = pattern;
    std::atexit(removePrivateDir);
    check(chdir(pattern.c_str()) == 0, "entering the private directory");
    writeFile("ascii.stl",
              "solid a\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\n"
              "vertex 0 1 0\nendloop\nendfacet\nendsolid a\n");
    writeFile("binary.stl", twoFacetBinary());
    check(mkfifo("fifo.stl", 0600) == 0, "creating the FIFO");
    check(mkdir("dir.stl", 0700) == 0, "creating the directory");
}

// Values a peer may send: ordinary angles and offsets, and the extremes.
double extremeValue(std::size_t index) {
    const double values[] = {0.0,
                             37.5,
                             -720.0,
                             1e300,
                             -std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN(),
                             std::numeric_limits<double>::denorm_min()};
    return values[index % (sizeof values / sizeof values[0])];
}

// Bodies drawn from `parts` (one per path to it), counted up to `cap` + 1. Inputs are a few
// kilobytes, so the recursion stays shallow.
std::size_t bodiesUpTo(const pelorin::Parts& parts, std::size_t cap,
                       std::map<const pelorin::Parts*, std::size_t>& known) {
    const auto found = known.find(&parts);
    if (found != known.end()) return found->second;
    std::size_t count = 1;
    for (const auto& entry : parts.outputPaths()) {
        const pelorin::Parts* child = entry.second->child();
        if (child != nullptr) count = std::min(count + bodiesUpTo(*child, cap, known), cap + 1);
    }
    return known[&parts] = count;
}

// Posing is plain arithmetic, the same for every body, and the instrumented build does it about a
// hundred times slower than the viewer: trees beyond a robot's size are linked and dumped, not
// posed (the link caps the bodies for the viewer).
constexpr std::size_t kMaxBodiesPosed = 2000;

void exercise(pelorin::SettingFileParser& parser, pelorin::Parts& root) {
    pelorin::StringSink dumpSink;
    pelorin::MessageStream dump(dumpSink, pelorin::TextEncoding::Cp932);
    for (const auto& entry : parser.partsByName()) entry.second->dump(0, dump);
    std::map<const pelorin::Parts*, std::size_t> known;
    if (bodiesUpTo(root, kMaxBodiesPosed, known) > kMaxBodiesPosed) return;
    pelorin::posedBounds(root, parser.defaultValues());  // poses every body
    std::vector<pelorin::PartsPose> poses;
    const std::vector<pelorin::TransformValue*>& table = parser.valueTable();
    std::vector<double> received(table.size());
    for (std::size_t i = 0; i < table.size(); ++i) received[i] = extremeValue(i);
    pelorin::PoseValues values = parser.defaultValues();
    pelorin::applyReceivedValues(table, received.data(), received.size(), values);
    pelorin::composePartsPoses(root, values, poses);
}

// What a parse left that the viewer and pelorin-check use.
struct Outcome {
    bool linked = false;
    std::vector<std::string> parts;
    std::vector<std::string> bindings;
    std::string console;
};

Outcome outcomeOf(const pelorin::SettingFileParser& parser, const pelorin::Parts* root,
                  const std::string& console) {
    Outcome outcome;
    outcome.linked = root != nullptr;
    for (const auto& entry : parser.partsByName()) outcome.parts.push_back(entry.first);
    for (const pelorin::ValueBinding& binding : parser.valueBindings()) {
        outcome.bindings.push_back(binding.source + "/" +
                                   std::to_string(static_cast<int>(binding.kind)));
    }
    outcome.console = console;
    return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    makePrivateDir();
    pelorin::Console::redirect(&consoleSink, &consoleSink, pelorin::TextEncoding::Cp932);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t mark = input.find(kMeshMark);
    const std::string_view text = input.substr(0, mark);
    if (mark == std::string_view::npos) {
        unlink(kMeshFile);
    } else {
        writeFile(kMeshFile, input.substr(mark + kMeshMark.size()));
    }
    writeFile(kSettingFile, text);

    consoleSink.clear();
    Outcome fromFile;
    {
        pelorin::SettingFileParser parser;
        pelorin::Parts* root = parser.parse(kSettingFile);
        fromFile = outcomeOf(parser, root, consoleSink.text());
        if (root != nullptr) exercise(parser, *root);
    }

    pelorin::StringSink log;
    pelorin::StringSink out;
    pelorin::MessageStream logStream(log, pelorin::TextEncoding::Cp932);
    pelorin::MessageStream outStream(out, pelorin::TextEncoding::Cp932);
    pelorin::SettingFileParser parser(logStream, outStream, outStream);
    std::istringstream stream{std::string(text)};
    pelorin::Parts* root = parser.parse(stream, kSettingFile);
    const Outcome fromStream = outcomeOf(parser, root, out.text());
    check(fromStream.linked == fromFile.linked, "file and stream link alike");
    check(fromStream.parts == fromFile.parts, "file and stream give the same Parts");
    check(fromStream.bindings == fromFile.bindings, "file and stream give the same value table");
    check(fromStream.console == fromFile.console, "file and stream give the same messages");
    return 0;
}
