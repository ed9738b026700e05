// Frames without a window or an X display: an OpenGL context on Mesa's surfaceless EGL platform
// drawing into a pbuffer of the picture's size with the window's formats. The frame is drawn by
// the window's own code (setUpFrameState, drawFrame), so on the same renderer it has the
// window's pixels.
#pragma once

#include <string>

#include "viewer/FrameDrawing.h"
#include "viewer/FrameImage.h"

namespace pelorin {

class OffscreenRenderer {
  public:
    // Largest picture: no side above kMaxSide pixels and no more than kMaxPixels in all, which
    // keeps the buffers within a few hundred megabytes.
    static constexpr int kMaxSide = 8192;
    static constexpr long kMaxPixels = 4096L * 4096L;
    static bool sizeAllowed(int width, int height);

    // Creates the context, current on the calling thread, and a width x height framebuffer;
    // ok() tells whether that worked, error() why not.
    OffscreenRenderer(int width, int height);
    ~OffscreenRenderer();
    OffscreenRenderer(const OffscreenRenderer&) = delete;
    OffscreenRenderer& operator=(const OffscreenRenderer&) = delete;

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }

    // Draws one frame of `root` (null: the axes alone) posed with the current set of `values`
    // (null: the file's values) through `camera` and reads it back. Only when ok(), on the
    // creating thread.
    FrameImage render(const CameraState& camera, const Parts* root,
                      const LiveValues* values = nullptr);

    struct Native;  // EGL display, pbuffer and context; opaque to users

  private:
    Native* native_ = nullptr;
    int width_;
    int height_;
    std::string error_;
};

}  // namespace pelorin
