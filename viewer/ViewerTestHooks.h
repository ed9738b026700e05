// Ways into the running viewer for tests and benchmarks: the program itself never includes this.
#pragma once

#include <chrono>
#include <cstdint>

#include "viewer/Camera.h"
#include "viewer/FrameImage.h"

namespace pelorin {

// Draws the axes alone from the next frame on. Any thread.
void clearViewerRoot();

// The camera the frames use. Viewer thread only.
CameraState& viewerCamera();
// Draws a frame and returns its pixels (see drawAndCaptureFrame). Viewer thread only.
FrameImage captureViewerFrame();

// The last frame put on screen: how many frames so far, the scene revision it shows, when its
// swap returned.
struct FrameRecord {
    std::uint64_t frameCount = 0;
    std::uint64_t sceneRevision = 0;
    std::chrono::steady_clock::time_point swappedAt;
};
FrameRecord lastFrame();
// Waits until a frame showing scene revision `revision` or later is on screen, or `timeout`
// passes; returns whether it is. Any thread but the viewer's.
bool waitForFrameShowing(std::uint64_t revision, std::chrono::nanoseconds timeout,
                         FrameRecord* record = nullptr);
// Waits until `frameCount` frames or more have been put on screen, or `timeout` passes;
// returns whether they have. Any thread but the viewer's.
bool waitForFrameCount(std::uint64_t frameCount, std::chrono::nanoseconds timeout);

}  // namespace pelorin
