// Records what a piece of drawing code sends to OpenGL, using the fixed-function feedback mode:
// every primitive with its vertices after the model-view matrix, so a test sees the geometry
// exactly where the scene put it, without reading pixels.
//
// captureFeedback sets an orthographic projection of half-width `extent` model units (the
// previous projection is restored), so vertices inside the cube [-extent, extent]^3 come back in
// eye coordinates to within about extent * 1e-6. Geometry outside the cube is clipped by GL.
// Needs a current GlTestContext; GL thread.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace pelorin::testing {

struct FeedbackVertex {
    std::array<double, 3> position;  // eye coordinates
    std::array<float, 4> color;      // the current colour (lit colour when lighting is on)
};

struct FeedbackPrimitive {
    enum class Kind { Point, Line, LineReset, Polygon, Other };
    Kind kind;
    std::vector<FeedbackVertex> vertices;
};

struct FeedbackCapture {
    std::vector<FeedbackPrimitive> primitives;
    std::string error;  // set when the buffer overflowed or the records could not be read
};

FeedbackCapture captureFeedback(const std::function<void()>& draw, double extent = 1000.0,
                                std::size_t bufferFloats = std::size_t{1} << 20);

}  // namespace pelorin::testing
