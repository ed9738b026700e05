// The viewer's process-wide state. Everything here belongs to the viewer thread: only that
// thread reads or writes it, so no lock guards it. The state is created on first use and never
// destroyed, so a process that ends while the viewer thread still runs cannot pull it away.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>

#include "viewer/Camera.h"
#include "viewer/FramePacer.h"

namespace pelorin {

class AxisGlyph;

struct MouseState {
    int pressX = 0;  // last press of any of the three buttons, window pixels
    int pressY = 0;
    bool middleDown = false;
};

struct ViewerState {
    static constexpr int kWindowSize = 800;        // pixels, width and height
    static constexpr double kGlyphLength = 10.0;   // the glyph's own length (never shown)
    static constexpr double kAxisLength = 1000.0;  // model units the axes are drawn at

    CameraState camera;
    MouseState mouse;
    AxisGlyph* axisGlyph = nullptr;  // owned, never freed
    int windowWidth = kWindowSize;
    int windowHeight = kWindowSize;
    FramePacer pacer;
    std::uint64_t shownRevision = 0;  // scene revision of the last frame drawn
    bool windowClosed = false;
};

ViewerState& viewerState();

class LiveValues;
class Parts;
// The root and its values published together by setViewerModel or setViewerRoot; a null root
// draws the axes alone. Hold `root` while using the tree or the values. Any thread.
struct ViewerModel {
    std::shared_ptr<const Parts> root;
    const LiveValues* values = nullptr;
};
ViewerModel viewerModel();
// A frame begun at `startedAt`, showing scene revision `revision`, has just been swapped onto
// the screen.
void recordFrameSwapped(std::uint64_t revision, std::chrono::steady_clock::time_point startedAt);

// Asks for a frame at the next moment the frame-rate cap allows (camera or window changed).
void requestRedraw();

}  // namespace pelorin
