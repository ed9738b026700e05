// The viewer thread: GLUT set-up, the event loop with its frame pacing, and the functions that
// other threads use to reach it.
#include "viewer/Viewer.h"

#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "scene/SceneRevision.h"
#include "util/MessageStream.h"
#include "viewer/AxisGlyph.h"
#include "viewer/FrameDrawing.h"
#include "viewer/InputCallbacks.h"
#include "viewer/Recording.h"
#include "viewer/TaskQueue.h"
#include "viewer/ViewerMessages.h"
#include "viewer/ViewerState.h"
#include "viewer/ViewerTestHooks.h"

namespace pelorin {
namespace {

constexpr const char* kMaxFpsVariable = "PELORIN_MAX_FPS";
constexpr const char* kFrameStatsVariable = "PELORIN_FRAME_STATS";
// How often to look for changes when a wake-up pipe is missing (the system refused a pipe).
constexpr std::chrono::milliseconds kBlindPollInterval(10);

timespec toTimespec(std::chrono::nanoseconds span) {
    const auto whole = std::chrono::duration_cast<std::chrono::seconds>(span);
    return {static_cast<time_t>(whole.count()), static_cast<long>((span - whole).count())};
}

// State shared with other threads; each member has its own guard.
struct SharedViewer {
    std::mutex modelMutex;
    ViewerModel model;
    std::atomic<std::thread::id> threadId{};
    std::mutex startMutex;
    std::thread* thread = nullptr;  // kept, never joined: the thread runs until the process ends

    std::mutex handlerMutex;
    std::function<void()> closedHandler;
    std::function<void()> reloadHandler;

    std::mutex frameMutex;
    std::condition_variable frameSwapped;
    FrameRecord frame;

    TaskQueue tasks;  // work for the viewer thread
};

// The process's one viewer: what other threads share with it, and the viewer thread's own
// state. Never destroyed: a process may end while the viewer thread still runs.
struct TheViewer {
    SharedViewer shared;
    ViewerState state;
};

TheViewer& theViewer() {
    static TheViewer* instance = new TheViewer;
    return *instance;
}

SharedViewer& shared() {
    return theViewer().shared;
}

TaskQueue& viewerTasks() {
    return shared().tasks;
}

void onWindowClosed() {
    viewerState().windowClosed = true;
    // GLUT calls this with the window's context current, before the window is destroyed.
    releaseFrameResources();
    // The handler usually ends the process at once: put the recorded frames on disk first.
    finishRecordingsNow();
    std::function<void()> handler;
    {
        std::lock_guard<std::mutex> lock(shared().handlerMutex);
        handler = shared().closedHandler;
    }
    if (handler) {
        handler();
    } else {
        endProcessAfterWindowClosed();
    }
}

// Opens a connection of our own first so that a missing display gives a clear message instead
// of GLUT's exit() on this thread. The caller keeps it open until GLUT has its own connection:
// a server with no client left may reset and refuse the next one for a moment.
Display* connectToDisplay() {
    Display* display = XOpenDisplay(nullptr);
    if (display != nullptr) return display;
    const char* name = std::getenv("DISPLAY");
    MessageStream& out = Console::out();
    out.msg(viewer_messages::kCannotOpenDisplay);
    if (name != nullptr && *name != '\0') {
        out.raw(name);
    } else {
        out.msg(viewer_messages::kNoDisplayName);
    }
    out.endl();
    return nullptr;
}

void createWindow() {
    // GLUT gets no command-line arguments of the process, only a program name.
    static char programName[] = "pelorin";
    char* argv[] = {programName, nullptr};
    int argc = 1;
    glutInit(&argc, argv);
    // Closing the window must not make GLUT call exit() on this thread while other threads
    // still run; onWindowClosed decides how the process ends.
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_CONTINUE_EXECUTION);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(ViewerState::kWindowSize, ViewerState::kWindowSize);
    glutCreateWindow(viewer_messages::kWindowTitle.data());
    glutCloseFunc(onWindowClosed);
    glutKeyboardFunc(keyboard);
    initGL();
}

// Sleeps until an X event, a scene change or a queued task arrives, or `wait` passes.
void sleepUntilSomethingHappens(Display* display, std::optional<FramePacer::Clock::duration> wait) {
    pollfd fds[3] = {{ConnectionNumber(display), POLLIN, 0},
                     {sceneChangeWakeFd(), POLLIN, 0},
                     {viewerTasks().wakeFd(), POLLIN, 0}};
    // A missing wake pipe (poll ignores -1) would leave changes unnoticed: look now and then.
    const bool blind = fds[1].fd < 0 || fds[2].fd < 0;
    std::optional<std::chrono::nanoseconds> timeout;
    if (wait) timeout = *wait;
    if (blind && (!timeout || *timeout > kBlindPollInterval)) timeout = kBlindPollInterval;
    const timespec limit = toTimespec(timeout.value_or(std::chrono::nanoseconds::zero()));
    ppoll(fds, 3, timeout ? &limit : nullptr, nullptr);
}

void runEventLoop() {
    ViewerState& state = viewerState();
    Display* xDisplay = glXGetCurrentDisplay();
    while (!state.windowClosed) {
        glutMainLoopEvent();  // X events; draws at once on expose
        if (state.windowClosed) break;
        viewerTasks().clearWake();
        viewerTasks().runPending();
        clearSceneChangeWake();
        // A recording wants a steady stream of frames at the cap's rate, moving or not.
        if (sceneRevision() != state.shownRevision || isRecording()) state.pacer.requestFrame();
        const auto wait = state.pacer.waitBeforeFrame(FramePacer::Clock::now());
        if (wait && *wait == FramePacer::Clock::duration::zero()) {
            display();
            continue;
        }
        // Events already read into Xlib's queue do not make the socket readable.
        if (XPending(xDisplay) > 0) continue;
        sleepUntilSomethingHappens(xDisplay, wait);
    }
}

void viewerThreadMain() {
    shared().threadId.store(std::this_thread::get_id());
    ViewerState& state = viewerState();
    state.pacer = FramePacer(maxFramesPerSecondFrom(std::getenv(kMaxFpsVariable), Console::out()));
    state.axisGlyph = new AxisGlyph(ViewerState::kGlyphLength);
    if (frameStatsWanted(std::getenv(kFrameStatsVariable))) {
        state.frameStats = std::make_unique<FrameStats>();
    }
    if (Display* probe = connectToDisplay()) {
        createWindow();
        XCloseDisplay(probe);
        runEventLoop();
    }
    viewerTasks().close();
    // An ended thread's id may be handed to a new thread, which must not pass for this one.
    shared().threadId.store(std::thread::id());
}

}  // namespace

ViewerState& viewerState() {
    return theViewer().state;
}

void requestRedraw() {
    viewerState().pacer.requestFrame();
}

ViewerModel viewerModel() {
    std::lock_guard<std::mutex> lock(shared().modelMutex);
    return shared().model;
}

void recordFrameSwapped(std::uint64_t revision, std::chrono::steady_clock::time_point startedAt) {
    ViewerState& state = viewerState();
    const auto now = FramePacer::Clock::now();
    state.shownRevision = revision;
    state.pacer.frameStarted(startedAt);
    {
        std::lock_guard<std::mutex> lock(shared().frameMutex);
        ++shared().frame.frameCount;
        shared().frame.sceneRevision = revision;
        shared().frame.swappedAt = now;
    }
    shared().frameSwapped.notify_all();
}

void setViewerModel(std::shared_ptr<const Parts> root, const LiveValues* values) {
    ViewerModel model{std::move(root), nullptr};
    if (model.root != nullptr) model.values = values;
    {
        std::lock_guard<std::mutex> lock(shared().modelMutex);
        std::swap(shared().model, model);
    }
    notifySceneChanged();
    // `model` now holds the tree replaced: freed here unless a frame still draws it.
}

void setViewerRoot(Parts* root, const LiveValues* values) {
    // Not owned: the pointer keeps nothing alive.
    setViewerModel(std::shared_ptr<const Parts>(root, [](const Parts*) {}), values);
}

void clearViewerRoot() {
    setViewerRoot(nullptr);
}

bool startViewer() {
    SharedViewer& viewer = shared();
    std::lock_guard<std::mutex> lock(viewer.startMutex);
    if (viewer.thread != nullptr) return true;
    try {
        viewer.thread = new std::thread(viewerThreadMain);
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void setWindowClosedHandler(std::function<void()> handler) {
    std::lock_guard<std::mutex> lock(shared().handlerMutex);
    shared().closedHandler = std::move(handler);
}

void closeViewerWindow() {
    runOnViewerThread([] {
        ViewerState& state = viewerState();
        if (state.windowClosed || glutGetWindow() == 0) return;
        state.windowClosed = true;
        releaseFrameResources();
        finishRecordingsNow();
        // GLUT runs the close callback for a window it destroys; this close is no user's.
        glutCloseFunc(nullptr);
        glutDestroyWindow(glutGetWindow());
        glutMainLoopEvent();  // GLUT takes a destroyed window down while it handles events
    });
}

void endProcessAfterWindowClosed() {
    Console::out().flush();
    Console::err().flush();
    std::fflush(nullptr);
    // _Exit skips static destructors and atexit handlers: other threads (the framework's, the
    // ORB's) may still be using the objects they would tear down.
    std::_Exit(EXIT_SUCCESS);
}

void setReloadKeyHandler(std::function<void()> handler) {
    std::lock_guard<std::mutex> lock(shared().handlerMutex);
    shared().reloadHandler = std::move(handler);
}

void reloadKeyPressed() {
    std::function<void()> handler;
    {
        std::lock_guard<std::mutex> lock(shared().handlerMutex);
        handler = shared().reloadHandler;
    }
    if (handler) handler();
}

std::future<bool> runOnViewerThread(std::function<void()> task) {
    if (isViewerThread()) {
        task();
        std::promise<bool> done;
        done.set_value(true);
        return done.get_future();
    }
    return viewerTasks().post(std::move(task));
}

bool isViewerThread() {
    return shared().threadId.load() == std::this_thread::get_id();
}

CameraState& viewerCamera() {
    return viewerState().camera;
}

FrameImage captureViewerFrame() {
    return drawAndCaptureFrame();
}

FrameRecord lastFrame() {
    std::lock_guard<std::mutex> lock(shared().frameMutex);
    return shared().frame;
}

bool waitForFrameShowing(std::uint64_t revision, std::chrono::nanoseconds timeout,
                         FrameRecord* record) {
    SharedViewer& viewer = shared();
    std::unique_lock<std::mutex> lock(viewer.frameMutex);
    const bool shown = viewer.frameSwapped.wait_for(lock, timeout, [&] {
        return viewer.frame.frameCount > 0 && viewer.frame.sceneRevision >= revision;
    });
    if (record != nullptr) *record = viewer.frame;
    return shown;
}

bool waitForFrameCount(std::uint64_t frameCount, std::chrono::nanoseconds timeout) {
    SharedViewer& viewer = shared();
    std::unique_lock<std::mutex> lock(viewer.frameMutex);
    return viewer.frameSwapped.wait_for(lock, timeout,
                                        [&] { return viewer.frame.frameCount >= frameCount; });
}

}  // namespace pelorin
