#include "app/Application.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "app/AppMessages.h"
#include "scene/LiveValues.h"
#include "scene/SceneRevision.h"
#include "setting/SettingFileParser.h"
#include "util/InputFile.h"
#include "util/ManagerConfigFile.h"
#include "util/ManagerOptions.h"
#include "util/MessageStream.h"
#include "viewer/Viewer.h"

namespace pelorin {
namespace {

namespace m = app_messages;

constexpr int kParseFailureStatus = 1;
constexpr const char* kHelpOption = "--help";
constexpr const char* kManagerConfigVariable = "RTC_MANAGER_CONFIG";

}  // namespace

Application* theApplication = nullptr;

bool showInViewer(Parts* root, const LiveValues* values) {
    setViewerRoot(root, values);
    return startViewer();
}

Application::Application() : showScene_(showInViewer) {
    Console::out().msg(m::kStarting).flush();
}

Application::~Application() = default;

bool Application::checkArguments(int argc, char** argv) {
    int firstOwn = argc;
    if (!acceptOptions(argc, argv, firstOwn)) return false;
    if (!acceptOwnArguments(argc - firstOwn, argv + firstOwn)) return false;
    if (acceptManagerConfigFile()) return true;
    settingFilePath_.clear();
    return false;
}

// The framework's options up to the first argument that is not one; "-debug" is Pelorin's own.
// They are kept as separate words, which the framework's parser reads as it read them here.
bool Application::acceptOptions(int argc, char** argv, int& firstOwn) {
    if (argc == 2 && std::strcmp(argv[1], kHelpOption) == 0) {
        Console::out().msg(m::kUsage).flush();
        helpShown_ = true;
        return false;
    }
    const ManagerOptionScan scan = scanManagerOptions(argc, argv, true, kDebugOption);
    for (const std::string& problem : scan.problems) Console::err().raw(problem).endl();
    if (!scan.problems.empty()) return false;
    managerArguments_ = {argc > 0 ? argv[0] : ""};
    for (const ManagerOption& option : scan.options) {
        managerArguments_.push_back(std::string("-") + option.letter);
        if (option.hasValue) managerArguments_.push_back(option.value);
        if (option.letter == 'f') managerConfigOption_ = option.value;
    }
    firstOwn = scan.end;
    return true;
}

bool Application::acceptOwnArguments(int count, char** own) {
    if (count == 1) return acceptPath(own[0]);
    if (count == 2) {
        if (std::strcmp(own[0], kDebugOption) != 0) return false;
        Console::out().msg(m::kDebugMode).flush();
        return acceptPath(own[1]);
    }
    Console::out().msg(m::kBadArguments).flush();
    return false;
}

// The file is only opened and closed here; the parser reads it later. A FIFO is refused without
// waiting for a writer, as are directories, devices and sockets.
bool Application::acceptPath(const char* candidate) {
    if (!acceptInputFile(candidate, Console::out(),
                         {m::kCannotOpenOpen, m::kCannotOpenClose, m::kNotRegularFileClose})) {
        return false;
    }
    settingFilePath_ = candidate;
    return true;
}

// Only a file that is there but is no regular file is refused: a missing "-f" file is the
// framework's to report, in its own words.
bool Application::acceptManagerConfigFile() const {
    const ManagerConfigFile found =
        findManagerConfigFile(managerConfigOption_, std::getenv(kManagerConfigVariable));
    if (found.status != OpenStatus::NotRegularFile) return true;
    Console::out().msg(m::kConfigFileOpen).raw(found.path).msg(m::kNotRegularFileClose).flush();
    return false;
}

bool Application::start() {
    // A second call must not replace the tree that the viewer may already be drawing.
    if (parser_ != nullptr) return root_ != nullptr;
    parser_ = std::make_unique<SettingFileParser>();
    root_ = parser_->parse(settingFilePath_);
    if (root_ == nullptr) {
        Console::out().msg(m::kParseFailed).flush();
        std::exit(kParseFailureStatus);
    }
    values_ = std::make_unique<LiveValues>(parser_->defaultValues());
    return showScene_ ? showScene_(root_, values_.get()) : true;
}

void Application::setValues(const double* values, int count) {
    if (values_ == nullptr || values == nullptr || count <= 0) return;
    if (values_->receive(parser_->valueTable(), values, static_cast<std::size_t>(count))) {
        notifySceneChanged();
    }
}

std::size_t Application::valueTableSize() const {
    return parser_ == nullptr ? 0 : parser_->valueTable().size();
}

}  // namespace pelorin
