// The viewer's outward functions: the window that draws the scene tree on a thread of its own.
//
// Start-up publishes the root with setViewerRoot() and calls startViewer() once. The viewer
// thread opens an 800 x 800 window titled "Pelorin RTC" and redraws it when the scene revision
// (scene/SceneRevision.h), the camera or the window changes, at most PELORIN_MAX_FPS frames a
// second (default 60); a still scene costs no processor time. Closing the window runs the
// window-closed handler, which by default ends the process with status 0.
#pragma once

#include <functional>
#include <future>
#include <memory>

namespace pelorin {

class LiveValues;
class Parts;

// The tree to draw and the value sets it is posed with, replaced together. A frame takes both
// when it begins and holds `root` until it ends, so a model replaced meanwhile (and whatever the
// pointer keeps alive with it, `values` included) stays valid until then. Null `values` poses the
// tree with the file's values. Any thread; the change shows in the next frame, and the GL copies
// of the old tree's meshes are freed before it.
void setViewerModel(std::shared_ptr<const Parts> root, const LiveValues* values = nullptr);
// The same for a tree and values that live until the process ends (not owned).
void setViewerRoot(Parts* root, const LiveValues* values = nullptr);

// Begins the viewer thread. Returns false when the thread cannot be created (no message).
// A second call starts nothing and returns true. When no X display can be reached, the thread
// prints a message saying so and ends; the rest of the process goes on without a window.
bool startViewer();

// Replaces what happens when the user closes the window. It runs on the viewer thread; the
// window is gone once it returns, and the viewer thread ends. The default flushes the console
// and ends the process at once with status 0, without running static destructors that other
// threads might still be using. Any thread, any time.
void setWindowClosedHandler(std::function<void()> handler);
// The default handler described above.
[[noreturn]] void endProcessAfterWindowClosed();
// Closes the window from the program's side, for a component that ends while its process lives
// on: the window goes and the viewer thread ends, without the window-closed handler. Any
// thread; returns at once. Nothing happens when no window is open.
void closeViewerWindow();

// What the reload key does (see viewer/InputCallbacks.h); nothing when unset. It runs on the
// viewer thread and must return at once: reading files belongs on another thread. Any thread.
void setReloadKeyHandler(std::function<void()> handler);
// Runs the reload key's handler. Viewer thread.
void reloadKeyPressed();

// Queues `task` for the viewer thread, which runs it between frames with the window's context
// current. Called on the viewer thread itself, the task runs at once. The future turns true once
// the task has run, false when it never will (the viewer thread has ended). Tasks queued before
// the thread starts run when its loop begins. Any thread.
std::future<bool> runOnViewerThread(std::function<void()> task);
bool isViewerThread();

}  // namespace pelorin
