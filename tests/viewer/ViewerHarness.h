// One viewer per test process: a private Xvfb display, the viewer thread started once, and
// helpers that run work on the viewer thread and look at the frames it draws.
#pragma once

#include <functional>
#include <string>

#include "viewer/Camera.h"
#include "viewer/FrameImage.h"

namespace pelorin::testing {

// Starts Xvfb and the viewer on first use and waits for the first frame. False, with `error`
// saying why, when the display or the window cannot be had.
bool ensureViewerRunning(std::string* error);

// Runs `task` on the viewer thread and waits for it; false when it did not run (viewer gone,
// or no answer within a minute).
bool onViewer(const std::function<void()>& task);

// Draws and reads the current frame on the viewer thread (empty image when that fails).
FrameImage captureFrame();
// Asks for a window of width x height pixels and waits until the viewer has it.
bool resizeWindow(int width, int height);

// True when some pixel within `radius` of `point` satisfies `wanted`.
bool anyPixelNear(const FrameImage& frame, const WindowPoint& point, int radius,
                  const std::function<bool(const Rgb&)>& wanted);

bool isRed(const Rgb& c);
bool isGreen(const Rgb& c);
bool isBlue(const Rgb& c);
bool isBlack(const Rgb& c);
// Lit mesh surface: none of the pure axis colours and clearly brighter than the background.
bool isLitSurface(const Rgb& c);

}  // namespace pelorin::testing
