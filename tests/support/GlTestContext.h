// A real OpenGL context for tests: Mesa's software renderer on a private Xvfb display.
//
// Usage in a GoogleTest fixture:
//
//     pelorin::testing::GlTestContext gl;          // starts Xvfb on first use, makes current
//     ASSERT_TRUE(gl.ok()) << gl.error();          // a missing Xvfb or GLX fails loudly
//     glMatrixMode(GL_MODELVIEW); ...
//     auto m = pelorin::testing::currentModelview();
//
// The context is a legacy (compatibility) one, so the fixed-function calls the scene makes
// (glRotated, glBegin, glMaterialfv, ...) work. It draws into an off-screen pbuffer of the given
// size, which glReadPixels can read. Mesa is asked for software rendering without worker threads
// so results do not depend on the machine and thread sanitizer builds stay quiet.
//
// A context belongs to the thread that created it and is current there until destroyed. Tests
// may create one per test (creation takes a few milliseconds once the server is up). The first
// context of a process starts the X server, which is told to stop when the starting thread
// ends: create it on the main thread (or call ensureXvfbDisplay there first).
//
// Link the target pelorin_test_support. Under the leak checker, Mesa's and Xlib's lifetime
// allocations are suppressed by this library, so GL tests stay clean in sanitizer builds.
#pragma once

#include <array>
#include <string>

namespace pelorin::testing {

class GlTestContext {
  public:
    explicit GlTestContext(int width = 64, int height = 64);
    ~GlTestContext();
    GlTestContext(const GlTestContext&) = delete;
    GlTestContext& operator=(const GlTestContext&) = delete;

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }  // why the context is missing
    struct Native;  // the X display, pbuffer and GLX context; opaque to users

  private:
    Native* native_ = nullptr;
    std::string error_;
};

// Column-major 4x4 matrices as OpenGL reports them.
using GlMatrix = std::array<double, 16>;

GlMatrix currentModelview();  // glGetDoublev(GL_MODELVIEW_MATRIX)
int modelviewStackDepth();    // glGetIntegerv(GL_MODELVIEW_STACK_DEPTH)
// m applied to the point (x, y, z, 1); the w component is dropped.
std::array<double, 3> transformPoint(const GlMatrix& m, double x, double y, double z);

}  // namespace pelorin::testing
