// pelorin-import [options] ROBOT.urdf OUTDIR: writes OUTDIR/ROBOT.txt, a setting file, and the
// binary STL meshes it names (see tools/import/RobotWriter.h). Warnings and the summary go to
// the console; any fault prints one message naming file and line and ends with status 1,
// leaving no OUTDIR behind.
#include <new>

#include "tools/import/ImportError.h"
#include "tools/import/ImportMessages.h"
#include "tools/import/ImportOptions.h"
#include "tools/import/RobotWriter.h"
#include "util/MessageStream.h"

namespace {

namespace m = pelorin::import_messages;
using pelorin::Console;

constexpr int kSuccess = 0;
constexpr int kFailure = 1;

int run(int argc, const char* const argv[]) {
    const pelorin::ImportOptions options = pelorin::readImportOptions(argc, argv);
    if (options.help) {
        Console::out().msg(m::kUsage).flush();
        return kSuccess;
    }
    const pelorin::ImportSummary summary = pelorin::importRobot(options);
    for (const std::string& warning : summary.warnings) {
        Console::err().msg(m::kPrefix).msg(m::kWarning).raw(warning).endl();
    }
    Console::err().flush();
    auto& out = Console::out();
    out.msg(m::kPrefix).msg(m::kWritten).raw(summary.settingFile);
    out.raw(": ") << static_cast<unsigned long>(summary.meshFiles);
    out.raw(" meshes, ") << static_cast<unsigned long>(summary.values);
    out.raw(" data-port values").endl();
    return kSuccess;
}

}  // namespace

int main(int argc, char* argv[]) {
    try {
        return run(argc, argv);
    } catch (const pelorin::ImportError& error) {
        Console::err().msg(m::kPrefix).raw(error.what()).endl();
    } catch (const std::bad_alloc&) {
        Console::err().msg(m::kPrefix).raw("out of memory").endl();
    } catch (const std::exception& error) {
        Console::err().msg(m::kPrefix).raw(error.what()).endl();
    }
    return kFailure;
}
