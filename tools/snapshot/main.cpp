// pelorin-snapshot SETTING_FILE OUT.png [--values v1,v2,...] [--size WxH] [--fit]: reads a
// setting file as the viewer does at start-up (writing "PASER_LOG.txt" in the working
// directory), takes the values for the value table in order, draws one frame offscreen exactly
// as the window would draw it at that size (from the start view, or with --fit the view the 'f'
// key gives), and writes it as a PNG file (replacing one of that name). Needs no display, no
// naming service and no component.
//
// Exit status: 0 when the picture is written; 1 when the setting file does not read (with
// pelorin-check's messages) or the values, the drawing or the file fail; 2 for a command line
// that is not usable.
#include <cstdio>
#include <string>

#include "scene/LiveValues.h"
#include "scene/Parts.h"
#include "scene/PosedBounds.h"
#include "setting/SettingFileParser.h"
#include "tools/check/CheckMessages.h"
#include "tools/snapshot/SnapshotMessages.h"
#include "tools/snapshot/SnapshotOptions.h"
#include "util/InputFile.h"
#include "util/MessageStream.h"
#include "viewer/OffscreenFrame.h"
#include "viewer/PngWriter.h"

namespace {

namespace m = pelorin::snapshot_messages;
namespace check = pelorin::check_messages;
using pelorin::Console;

constexpr int kSuccess = 0;
constexpr int kFailure = 1;
constexpr int kUsageError = 2;

// The tree of the setting file, or null after pelorin-check's messages. Called once: the parser
// is kept until the process ends, as in the viewer, and stays reachable for the leak checker.
pelorin::SettingFileParser* readSettingFile(const std::string& path) {
    if (!pelorin::acceptInputFile(
            path, Console::err(),
            {check::kCannotOpenOpen, check::kCannotOpenClose, check::kNotRegularFileClose})) {
        return nullptr;
    }
    static auto* parser = new pelorin::SettingFileParser;
    if (parser->parse(path) == nullptr) {
        Console::out().msg(check::kParseFailed).flush();
        return nullptr;
    }
    return parser;
}

// The file's values with `values` taken for the table's first entries; too many values are
// refused.
bool applyValues(const pelorin::SettingFileParser& parser, const std::vector<double>& values,
                 pelorin::LiveValues& live) {
    const std::vector<pelorin::TransformValue*>& table = parser.valueTable();
    if (values.size() > table.size()) {
        Console::err().msg(m::kPrefix).msg(m::kTooManyValuesOpen)
            << static_cast<unsigned long>(table.size());
        Console::err().msg(m::kTooManyValuesMiddle) << static_cast<unsigned long>(values.size());
        Console::err().msg(m::kTooManyValuesClose).endl();
        return false;
    }
    live.receive(table, values.data(), values.size());
    return true;
}

int run(const pelorin::SnapshotOptions& options) {
    const pelorin::SettingFileParser* parser = readSettingFile(options.settingFile);
    if (parser == nullptr) return kFailure;
    pelorin::LiveValues live(parser->defaultValues());
    if (!applyValues(*parser, options.values, live)) return kFailure;
    pelorin::OffscreenRenderer renderer(options.width, options.height);
    if (!renderer.ok()) {
        Console::err().msg(m::kPrefix).msg(m::kCannotRender).raw(renderer.error()).endl();
        return kFailure;
    }
    const pelorin::Parts& root = *parser->root();
    pelorin::CameraState camera;
    if (options.fit) {
        pelorin::PoseValues values;
        live.snapshot(values);
        camera = pelorin::fittedCamera(camera, pelorin::posedBounds(root, values));
    }
    const pelorin::FrameImage picture = renderer.render(camera, &root, &live);
    std::string reason;
    if (!pelorin::replacePng(options.outputFile, picture, &reason)) {
        Console::err().msg(m::kPrefix).msg(m::kCannotWrite).raw(options.outputFile);
        Console::err().msg(m::kReasonSeparator).raw(reason).endl();
        return kFailure;
    }
    Console::out().msg(m::kSaved).raw(options.outputFile).endl();
    return kSuccess;
}

}  // namespace

int main(int argc, char** argv) {
    pelorin::SnapshotOptions options;
    pelorin::SnapshotOptionError error;
    if (!pelorin::parseSnapshotOptions(argc, argv, options, error)) {
        Console::err().msg(m::kPrefix).msg(error.message).raw(error.argument).endl();
        Console::err().msg(m::kUsage).flush();
        return kUsageError;
    }
    if (options.help) {
        Console::out().msg(m::kUsage).flush();
        return kSuccess;
    }
    return run(options);
}
