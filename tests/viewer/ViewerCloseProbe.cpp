// A small program for the window-close test: it shows a scene, keeps other threads busy writing
// values and console text, and waits forever like the component's main thread. The test closes
// the window and checks how the process ends.
//
// Usage: pelorin_viewer_close_probe [handler]
//   handler: install a window-closed handler that prints "handler ran" and returns; the main
//   thread then waits until the viewer thread has ended, prints "viewer ended" and ends with
//   status 3.
//   nodisplay: start without DISPLAY; prints "no viewer" and ends with status 4 once the
//   viewer thread has given up.
//   record: start recording (the 'v' key) and wait for a recorded frame before saying "ready";
//   closing the window then ends the process as by default.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "scene/LiveValues.h"
#include "scene/Parts.h"
#include "scene/RotateTransform.h"
#include "scene/SceneRevision.h"
#include "util/MessageStream.h"
#include "viewer/InputCallbacks.h"
#include "viewer/Viewer.h"
#include "viewer/ViewerState.h"
#include "viewer/ViewerTestHooks.h"

extern "C" const char* __tsan_default_options() {
    return "halt_on_error=1";
}

namespace {

constexpr int kHandlerStatus = 3;
constexpr int kNoViewerStatus = 4;

void keepChangingTheScene(pelorin::TransformValue* angle, pelorin::LiveValues* values) {
    const std::vector<pelorin::TransformValue*> table = {angle};
    for (double degrees = 0.0;; degrees += 1.0) {
        values->receive(table, &degrees, 1);
        pelorin::notifySceneChanged();
        pelorin::Console::err().raw("tick").endl();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

}  // namespace

int main(int argc, char** argv) {
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
    setenv("LP_NUM_THREADS", "0", 0);
    const std::string mode = argc > 1 ? argv[1] : "";
    const bool ownHandler = mode == "handler";
    if (mode == "nodisplay") unsetenv("DISPLAY");
    if (ownHandler) {
        pelorin::setWindowClosedHandler([] { pelorin::Console::out().raw("handler ran").endl(); });
    }
    auto* root = new pelorin::Parts("ROOT");
    auto joint =
        std::make_unique<pelorin::RotateTransform>(pelorin::RotateTransform::kAxisZ, 0.0, "joint");
    pelorin::TransformValue* angle = joint->angleCell();
    angle->setSlot(0);
    root->inputTransforms().pushBack(std::move(joint));
    auto* values = new pelorin::LiveValues({0.0});
    pelorin::setViewerRoot(root, values);
    if (!pelorin::startViewer()) return 1;
    // The task runs once the window is up, or is turned down when the viewer thread gave up.
    if (!pelorin::runOnViewerThread([] {}).get()) {
        pelorin::Console::out().raw("no viewer").endl();
        std::fflush(nullptr);
        std::_Exit(kNoViewerStatus);
    }
    if (!pelorin::waitForFrameShowing(0, std::chrono::seconds(60))) return 2;
    std::thread(keepChangingTheScene, angle, values).detach();
    if (mode == "record") {
        pelorin::runOnViewerThread([] { pelorin::handleKey(pelorin::viewerState(), 'v'); }).get();
        // The scene's next change comes after the key: a frame showing it was recorded.
        if (!pelorin::waitForFrameShowing(pelorin::sceneRevision() + 1, std::chrono::seconds(60)))
            return 2;
    }
    pelorin::Console::out().raw("ready").endl();
    // With its own handler the process outlives the window: the viewer thread ends and turns
    // down further work instead of leaving the caller waiting.
    while (!ownHandler || pelorin::runOnViewerThread([] {}).get()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    pelorin::Console::out().raw("viewer ended").endl();
    std::fflush(nullptr);
    std::_Exit(kHandlerStatus);
}
