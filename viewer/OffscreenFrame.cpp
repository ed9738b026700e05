#include "viewer/OffscreenFrame.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <tuple>
#include <vector>

#include "render/SceneDrawer.h"
#include "viewer/AxisGlyph.h"
#include "viewer/ViewerState.h"

namespace pelorin {

struct OffscreenRenderer::Native {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLSurface surface = EGL_NO_SURFACE;
    EGLContext context = EGL_NO_CONTEXT;
    AxisGlyph axes{ViewerState::kGlyphLength};
    SceneDrawer drawer;  // its GL objects live in this context
};

namespace {

std::string eglFailure(const char* what) {
    char text[96];
    std::snprintf(text, sizeof text, "%s failed (EGL error 0x%04x)", what,
                  static_cast<unsigned>(eglGetError()));
    return text;
}

// The surfaceless platform needs no X server, no Wayland compositor and no GPU.
EGLDisplay openSurfacelessDisplay() {
    const char* extensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    const std::string clientExtensions = extensions != nullptr ? extensions : "";
    if (clientExtensions.find("EGL_MESA_platform_surfaceless") == std::string::npos) {
        return EGL_NO_DISPLAY;
    }
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr) return EGL_NO_DISPLAY;
    return getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
}

EGLint attribute(EGLDisplay display, EGLConfig config, EGLint name) {
    EGLint value = -1;
    eglGetConfigAttrib(display, config, name, &value);
    return value;
}

// The configuration closest to the window's visual as GLUT gets it from GLX: 8-bit RGB, no alpha
// where there is the choice, and the deepest depth buffer (GLUT asks for the deepest: 32 bits on
// Mesa's software renderer, 24 on most GPUs). Depth precision decides pixels where surfaces
// nearly touch. Null when there is no 8-bit RGB pbuffer for OpenGL.
EGLConfig windowLikeConfig(EGLDisplay display) {
    const EGLint wanted[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                             EGL_NONE};
    EGLint count = 0;
    if (eglChooseConfig(display, wanted, nullptr, 0, &count) == EGL_FALSE || count <= 0) {
        return nullptr;
    }
    std::vector<EGLConfig> configs(static_cast<std::size_t>(count));
    eglChooseConfig(display, wanted, configs.data(), count, &count);
    EGLConfig best = nullptr;
    std::tuple<EGLint, bool, EGLint> bestRank;
    for (EGLConfig config : configs) {
        const EGLint sizes[] = {EGL_RED_SIZE, EGL_GREEN_SIZE, EGL_BLUE_SIZE};
        if (!std::all_of(std::begin(sizes), std::end(sizes),
                         [&](EGLint name) { return attribute(display, config, name) == 8; })) {
            continue;
        }
        const std::tuple<EGLint, bool, EGLint> rank{attribute(display, config, EGL_DEPTH_SIZE),
                                                    attribute(display, config, EGL_ALPHA_SIZE) == 0,
                                                    -attribute(display, config, EGL_STENCIL_SIZE)};
        if (best == nullptr || rank > bestRank) {
            best = config;
            bestRank = rank;
        }
    }
    return best;
}

// A pbuffer of the window's formats with a legacy (compatibility) context, as the window has: the
// frame uses fixed-function GL. Mesa draws window-system buffers alike, windows or pbuffers,
// down to the rounding of each pixel; a framebuffer object would differ in the last bit here
// and there.
std::string createSurface(OffscreenRenderer::Native& native, int width, int height) {
    const EGLConfig config = windowLikeConfig(native.display);
    if (config == nullptr) return "no EGL configuration with 8-bit colour for OpenGL";
    const EGLint size[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    native.surface = eglCreatePbufferSurface(native.display, config, size);
    if (native.surface == EGL_NO_SURFACE) return eglFailure("eglCreatePbufferSurface");
    if (eglBindAPI(EGL_OPENGL_API) == EGL_FALSE) return eglFailure("eglBindAPI(OpenGL)");
    native.context = eglCreateContext(native.display, config, EGL_NO_CONTEXT, nullptr);
    if (native.context == EGL_NO_CONTEXT) return eglFailure("eglCreateContext");
    if (eglMakeCurrent(native.display, native.surface, native.surface, native.context) ==
        EGL_FALSE) {
        return eglFailure("eglMakeCurrent");
    }
    glDrawBuffer(GL_BACK);
    glReadBuffer(GL_BACK);
    return std::string();
}

}  // namespace

bool OffscreenRenderer::sizeAllowed(int width, int height) {
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide &&
           static_cast<long>(width) * height <= kMaxPixels;
}

OffscreenRenderer::OffscreenRenderer(int width, int height)
    : native_(new Native), width_(width), height_(height) {
    if (!sizeAllowed(width, height)) {
        error_ = "picture size out of range";
        return;
    }
    native_->display = openSurfacelessDisplay();
    if (native_->display == EGL_NO_DISPLAY) {
        error_ = "no EGL surfaceless platform (Mesa's libEGL)";
    } else if (eglInitialize(native_->display, nullptr, nullptr) == EGL_FALSE) {
        native_->display = EGL_NO_DISPLAY;
        error_ = eglFailure("eglInitialize");
    } else {
        error_ = createSurface(*native_, width, height);
    }
    if (error_.empty()) setUpFrameState();
}

OffscreenRenderer::~OffscreenRenderer() {
    if (native_->display != EGL_NO_DISPLAY) {
        eglMakeCurrent(native_->display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    }
    if (native_->context != EGL_NO_CONTEXT) eglDestroyContext(native_->display, native_->context);
    if (native_->surface != EGL_NO_SURFACE) eglDestroySurface(native_->display, native_->surface);
    // The display is not terminated: EGL shares it across the process, and terminating it would
    // unload Mesa's driver together with the lifetime allocations it keeps on purpose.
    delete native_;
}

FrameImage OffscreenRenderer::render(const CameraState& camera, const Parts* root,
                                     const LiveValues* values) {
    FrameView view;
    view.camera = camera;
    view.width = width_;
    view.height = height_;
    view.root = root;
    view.values = values;
    drawFrame(view, native_->axes, native_->drawer);
    glFinish();
    return readFrame(width_, height_);
}

}  // namespace pelorin
