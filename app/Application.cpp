#include "app/Application.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "app/AppMessages.h"
#include "scene/LiveValues.h"
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
    switch (checkInputFile(candidate)) {
        case OpenStatus::CannotOpen:
            Console::out().msg(m::kCannotOpenOpen).raw(candidate).msg(m::kCannotOpenClose).flush();
            return false;
        case OpenStatus::NotRegularFile:
            Console::out().msg(m::kCannotOpenOpen).raw(candidate).msg(m::kNotRegularFileClose);
            Console::out().flush();
            return false;
        case OpenStatus::Ok:
            break;
    }
    settingFilePath_ = candidate;
    return true;
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
