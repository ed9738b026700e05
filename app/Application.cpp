#include "app/Application.h"

#include <cstdlib>
#include <cstring>
#include <utility>

#include "app/AppMessages.h"
#include "app/LoadedModel.h"
#include "scene/SceneRevision.h"
#include "setting/SettingFileParser.h"
#include "util/InputFile.h"
#include "util/MessageStream.h"
#include "viewer/Viewer.h"

namespace pelorin {
namespace {

namespace m = app_messages;

constexpr int kArgcWithPath = 2;
constexpr int kArgcWithDebug = 3;
constexpr int kParseFailureStatus = 1;

// The root of `model`, sharing its lifetime: the viewer keeps the whole model alive while a frame
// draws the tree.
std::shared_ptr<const Parts> sharedRoot(const std::shared_ptr<const LoadedModel>& model) {
    return std::shared_ptr<const Parts>(model, model->root());
}

// Says why `path` cannot be read; false then. The message is the command line's.
bool reportUnusableFile(const char* path) {
    switch (checkInputFile(path)) {
        case OpenStatus::CannotOpen:
            Console::out().msg(m::kCannotOpenOpen).raw(path).msg(m::kCannotOpenClose).flush();
            return false;
        case OpenStatus::NotRegularFile:
            Console::out().msg(m::kCannotOpenOpen).raw(path).msg(m::kNotRegularFileClose);
            Console::out().flush();
            return false;
        case OpenStatus::Ok:
            break;
    }
    return true;
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
    if (argc == kArgcWithPath) return acceptPath(argv[1]);
    if (argc == kArgcWithDebug) {
        if (std::strcmp(argv[1], kDebugOption) != 0) return false;
        Console::out().msg(m::kDebugMode).flush();
        return acceptPath(argv[2]);
    }
    Console::out().msg(m::kBadArguments).flush();
    return false;
}

// The file is only opened and closed here; the parser reads it later. A FIFO is refused without
// waiting for a writer, as are directories, devices and sockets.
bool Application::acceptPath(const char* candidate) {
    if (!reportUnusableFile(candidate)) return false;
    std::lock_guard<std::mutex> lock(modelMutex_);
    settingFilePath_ = candidate;
    return true;
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
        std::exit(kParseFailureStatus);
    }
    {
        std::lock_guard<std::mutex> lock(modelMutex_);
        model_ = model;
    }
    if (showScene_) return showScene_(model->root());
    return showInViewer(model);
}

bool Application::showInViewer(const std::shared_ptr<const LoadedModel>& model) {
    showsInViewer_ = true;
    setReloadKeyHandler([this] { requestReload(); });
    setViewerModel(sharedRoot(model));
    return startViewer();
}

bool Application::reload(const std::string& path) {
    std::lock_guard<std::mutex> serial(reloadMutex_);
    std::shared_ptr<const LoadedModel> model;
    if (reportUnusableFile(path.c_str())) model = LoadedModel::read(path);
    if (model == nullptr) {
        Console::out().msg(m::kReloadFailedOpen).raw(path).msg(m::kReloadFailedClose).flush();
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
        setViewerModel(sharedRoot(model));
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
    if (current->setValues(values, static_cast<std::size_t>(count)) > 0) notifySceneChanged();
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

const SettingFileParser* Application::parser() const {
    const std::shared_ptr<const LoadedModel> current = model();
    return current == nullptr ? nullptr : &current->parser();
}

}  // namespace pelorin
