#include "tests/support/GlTestContext.h"

#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <cstdlib>

#include "tests/support/XvfbDisplay.h"

// Mesa and Xlib keep allocations for the life of the process on purpose; they are not ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libX11.so\n"
           "leak:libxcb.so\n"
           "leak:libGLX.so\n"
           "leak:libGLX_mesa.so\n"
           "leak:libGLdispatch.so\n"
           "leak:swrast_dri.so\n"
           "leak:libgallium\n"
           "leak:libLLVM\n"
           "leak:libglapi.so\n";
}

namespace pelorin::testing {

struct GlTestContext::Native {
    Display* display = nullptr;
    GLXPbuffer pbuffer = 0;
    GLXContext context = nullptr;
};

namespace {

void preferPlainSoftwareRendering() {
    // Set only when the caller has not chosen otherwise.
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
    setenv("LP_NUM_THREADS", "0", 0);
}

GLXFBConfig choosePbufferConfig(Display* display) {
    const int attributes[] = {GLX_DRAWABLE_TYPE,
                              GLX_PBUFFER_BIT,
                              GLX_RENDER_TYPE,
                              GLX_RGBA_BIT,
                              GLX_RED_SIZE,
                              8,
                              GLX_GREEN_SIZE,
                              8,
                              GLX_BLUE_SIZE,
                              8,
                              GLX_DEPTH_SIZE,
                              16,
                              None};
    int count = 0;
    GLXFBConfig* configs = glXChooseFBConfig(display, DefaultScreen(display), attributes, &count);
    if (configs == nullptr) return nullptr;
    GLXFBConfig chosen = count > 0 ? configs[0] : nullptr;
    XFree(configs);
    return chosen;
}

// One connection for the whole process, never closed: closing the last connection unloads
// Mesa's driver, after which the leak checker can no longer tell the driver's own lifetime
// allocations from ours.
Display* sharedDisplay() {
    static Display* display = XOpenDisplay(xvfbDisplayName().c_str());
    return display;
}

std::string createNative(GlTestContext::Native& n, int width, int height) {
    std::string error;
    if (!ensureXvfbDisplay(&error)) return "no X server for GL tests: " + error;
    n.display = sharedDisplay();
    if (n.display == nullptr) return "cannot open display " + xvfbDisplayName();
    GLXFBConfig config = choosePbufferConfig(n.display);
    if (config == nullptr) return "no GLX pbuffer configuration on " + xvfbDisplayName();
    const int pbufferAttributes[] = {GLX_PBUFFER_WIDTH, width, GLX_PBUFFER_HEIGHT, height, None};
    n.pbuffer = glXCreatePbuffer(n.display, config, pbufferAttributes);
    n.context = glXCreateNewContext(n.display, config, GLX_RGBA_TYPE, nullptr, True);
    if (n.pbuffer == 0 || n.context == nullptr) return "cannot create a GLX context";
    if (!glXMakeContextCurrent(n.display, n.pbuffer, n.pbuffer, n.context)) {
        return "cannot make the GLX context current";
    }
    return {};
}

}  // namespace

GlTestContext::GlTestContext(int width, int height) : native_(new Native) {
    preferPlainSoftwareRendering();
    error_ = createNative(*native_, width, height);
    if (ok()) glViewport(0, 0, width, height);
}

GlTestContext::~GlTestContext() {
    Native& n = *native_;
    if (n.display != nullptr) {
        glXMakeContextCurrent(n.display, None, None, nullptr);
        if (n.context != nullptr) glXDestroyContext(n.display, n.context);
        if (n.pbuffer != 0) glXDestroyPbuffer(n.display, n.pbuffer);
    }
    delete native_;
}

GlMatrix currentModelview() {
    GlMatrix m{};
    glGetDoublev(GL_MODELVIEW_MATRIX, m.data());
    return m;
}

int modelviewStackDepth() {
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    return depth;
}

std::array<double, 3> transformPoint(const GlMatrix& m, double x, double y, double z) {
    return {m[0] * x + m[4] * y + m[8] * z + m[12], m[1] * x + m[5] * y + m[9] * z + m[13],
            m[2] * x + m[6] * y + m[10] * z + m[14]};
}

}  // namespace pelorin::testing
