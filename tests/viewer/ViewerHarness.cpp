#include "tests/viewer/ViewerHarness.h"

#include <GL/freeglut.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "tests/support/XvfbDisplay.h"
#include "viewer/Viewer.h"
#include "viewer/ViewerState.h"
#include "viewer/ViewerTestHooks.h"

namespace pelorin::testing {
namespace {

// Generous: a loaded machine under a sanitizer still answers well within it.
constexpr std::chrono::seconds kAnswerLimit(60);

bool startOnce(std::string* error) {
    if (!ensureXvfbDisplay(error)) return false;
    // Software rendering without worker threads: results do not depend on the machine.
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
    setenv("LP_NUM_THREADS", "0", 0);
    if (!startViewer()) {
        *error = "the viewer thread did not start";
        return false;
    }
    if (!waitForFrameShowing(0, kAnswerLimit)) {
        *error = "the viewer drew no first frame";
        return false;
    }
    return true;
}

}  // namespace

bool ensureViewerRunning(std::string* error) {
    static std::string startError;
    static const bool running = startOnce(&startError);
    *error = startError;
    return running;
}

bool onViewer(const std::function<void()>& task) {
    std::future<bool> done = runOnViewerThread(task);
    if (done.wait_for(kAnswerLimit) != std::future_status::ready) return false;
    return done.get();
}

FrameImage captureFrame() {
    FrameImage frame;
    onViewer([&] { frame = captureViewerFrame(); });
    return frame;
}

bool resizeWindow(int width, int height) {
    if (!onViewer([&] { glutReshapeWindow(width, height); })) return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline) {
        bool done = false;
        if (!onViewer([&] {
                done = viewerState().windowWidth == width && viewerState().windowHeight == height;
            })) {
            return false;
        }
        if (done) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

bool anyPixelNear(const FrameImage& frame, const WindowPoint& point, int radius,
                  const std::function<bool(const Rgb&)>& wanted) {
    const int cx = static_cast<int>(point.x);
    const int cy = static_cast<int>(point.y);
    for (int y = cy - radius; y <= cy + radius; ++y) {
        for (int x = cx - radius; x <= cx + radius; ++x) {
            if (frame.contains(x, y) && wanted(frame.at(x, y))) return true;
        }
    }
    return false;
}

bool isRed(const Rgb& c) {
    return c.r > 200 && c.g < 50 && c.b < 50;
}
bool isGreen(const Rgb& c) {
    return c.g > 200 && c.r < 50 && c.b < 50;
}
bool isBlue(const Rgb& c) {
    return c.b > 200 && c.r < 50 && c.g < 50;
}
bool isBlack(const Rgb& c) {
    return c.r < 10 && c.g < 10 && c.b < 10;
}

bool isLitSurface(const Rgb& c) {
    return !isRed(c) && !isGreen(c) && !isBlue(c) && c.r + c.g + c.b > 120;
}

}  // namespace pelorin::testing
