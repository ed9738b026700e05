#include "app/Application.h"

#include <cstdlib>
#include <cstring>
#include <utility>

#include "app/AppMessages.h"
#include "app/LoadedModel.h"
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

// The root of `model`, sharing its lifetime: the viewer keeps the whole model alive while a frame
// draws the tree.
std::shared_ptr<const Parts> sharedRoot(const std::shared_ptr<const LoadedModel>& model) {
    return std::shared_ptr<const Parts>(model, model->root());
}

// Says why `path` cannot be read, with the command line's message; false then.
bool acceptSettingFile(const char* path) {
    return acceptInputFile(path, Console::out(),
                           {m::kCannotOpenOpen, m::kCannotOpenClose, m::kNotRegularFileClose});
}

}  // namespace

Application* theApplication = nullptr;

Application::Application() {
    Console::out().msg(m::kStarting).flush();
}

Application::~Application() {
    if (showsInViewer_) setReloadKeyHandler(nullptr);
}

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
    if (!acceptSettingFile(candidate)) return false;
    std::lock_guard<std::mutex> lock(modelMutex_);
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

void Application::useSettingFileIfNoneGiven(const std::string& path) {
    std::lock_guard<std::mutex> lock(modelMutex_);
    if (settingFilePath_.empty()) settingFilePath_ = path;
}

bool Application::start() {
    // A second call must not replace the tree that the viewer may already be drawing.
    if (started_) return model() != nullptr;
    started_ = true;
    std::shared_ptr<const LoadedModel> model = LoadedModel::read(settingFilePath());
    if (model == nullptr) {
        Console::out().msg(m::kParseFailed).flush();
        if (!sharedProcess_) std::exit(kParseFailureStatus);
        started_ = false;  // a corrected file may be tried again
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(modelMutex_);
        model_ = model;
    }
    if (showScene_) return showScene_(model->root(), &model->values());
    return showInViewer(model);
}

void Application::componentEnded() {
    if (sharedProcess_ && showsInViewer_) closeViewerWindow();
}

bool Application::showInViewer(const std::shared_ptr<const LoadedModel>& model) {
    showsInViewer_ = true;
    setReloadKeyHandler([this] { requestReload(); });
    setViewerModel(sharedRoot(model), &model->values());
    return startViewer();
}

bool Application::reload(const std::string& path) {
    std::lock_guard<std::mutex> serial(reloadMutex_);
    std::shared_ptr<const LoadedModel> model;
    int failedLine = 0;
    if (acceptSettingFile(path.c_str())) model = LoadedModel::read(path, &failedLine);
    if (model == nullptr) {
        MessageStream& out = Console::out();
        out.msg(m::kReloadFailedOpen).raw(path);
        if (failedLine > 0) {
            out.msg(m::kReloadFailedAtLine) << failedLine;
            out.msg(m::kReloadFailedAtLineClose).flush();
        } else {
            out.msg(m::kReloadFailedClose).flush();
        }
        return false;
    }
    putInPlace(std::move(model));
    return true;
}

void Application::putInPlace(std::shared_ptr<const LoadedModel> model) {
    std::shared_ptr<const LoadedModel> old;
    {
        std::lock_guard<std::mutex> lock(modelMutex_);
        settingFilePath_ = model->path();
        old = std::exchange(model_, model);
    }
    if (showsInViewer_) {
        setViewerModel(sharedRoot(model), &model->values());
    } else {
        notifySceneChanged();
    }
    // `old` goes here unless a frame or a hand-over still holds it.
}

void Application::requestReload() {
    reloadThread_.request();
}

bool Application::waitForRequestedReloads(std::chrono::nanoseconds timeout) {
    return reloadThread_.waitUntilIdle(timeout);
}

void Application::setValues(const double* values, int count) {
    if (values == nullptr || count <= 0) return;
    const std::shared_ptr<const LoadedModel> current = model();
    if (current == nullptr) return;
    if (current->receive(values, static_cast<std::size_t>(count))) notifySceneChanged();
}

std::size_t Application::valueTableSize() const {
    const std::shared_ptr<const LoadedModel> current = model();
    return current == nullptr ? 0 : current->valueCount();
}

std::string Application::settingFilePath() const {
    std::lock_guard<std::mutex> lock(modelMutex_);
    return settingFilePath_;
}

std::shared_ptr<const LoadedModel> Application::model() const {
    std::lock_guard<std::mutex> lock(modelMutex_);
    return model_;
}

Parts* Application::root() const {
    const std::shared_ptr<const LoadedModel> current = model();
    return current == nullptr ? nullptr : current->root();
}

const LiveValues* Application::liveValues() const {
    const std::shared_ptr<const LoadedModel> current = model();
    return current == nullptr ? nullptr : &current->values();
}

const SettingFileParser* Application::parser() const {
    const std::shared_ptr<const LoadedModel> current = model();
    return current == nullptr ? nullptr : &current->parser();
}

}  // namespace pelorin
