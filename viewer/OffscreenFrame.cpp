#include "viewer/OffscreenFrame.h"

#define GL_GLEXT_PROTOTYPES 1
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdio>

#include "render/SceneDrawer.h"
#include "viewer/AxisGlyph.h"
#include "viewer/ViewerState.h"

namespace pelorin {

struct OffscreenRenderer::Native {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLContext context = EGL_NO_CONTEXT;
    GLuint framebuffer = 0;
    GLuint colour = 0;
    GLuint depth = 0;
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

// A legacy (compatibility) context, as the window's: the frame uses fixed-function GL.
std::string createContext(OffscreenRenderer::Native& native) {
    native.display = openSurfacelessDisplay();
    if (native.display == EGL_NO_DISPLAY) return "no EGL surfaceless platform (Mesa's libEGL)";
    if (eglInitialize(native.display, nullptr, nullptr) == EGL_FALSE) {
        native.display = EGL_NO_DISPLAY;
        return eglFailure("eglInitialize");
    }
    if (eglBindAPI(EGL_OPENGL_API) == EGL_FALSE) return eglFailure("eglBindAPI(OpenGL)");
    // No config: the context draws only into framebuffer objects.
    native.context = eglCreateContext(native.display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, nullptr);
    if (native.context == EGL_NO_CONTEXT) return eglFailure("eglCreateContext");
    if (eglMakeCurrent(native.display, EGL_NO_SURFACE, EGL_NO_SURFACE, native.context) ==
        EGL_FALSE) {
        return eglFailure("eglMakeCurrent");
    }
    return std::string();
}

// 8-bit colour and a 24-bit depth buffer with stencil, the formats of the window's visual.
std::string createFramebuffer(OffscreenRenderer::Native& native, int width, int height) {
    glGenRenderbuffers(1, &native.colour);
    glBindRenderbuffer(GL_RENDERBUFFER, native.colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glGenRenderbuffers(1, &native.depth);
    glBindRenderbuffer(GL_RENDERBUFFER, native.depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
    glGenFramebuffers(1, &native.framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, native.framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, native.colour);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                              native.depth);
    if (glGetError() != GL_NO_ERROR ||
        glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        return "the renderer cannot make a " + std::to_string(width) + " x " +
               std::to_string(height) + " framebuffer";
    }
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
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
    error_ = createContext(*native_);
    if (error_.empty()) error_ = createFramebuffer(*native_, width, height);
    if (error_.empty()) setUpFrameState();
}

OffscreenRenderer::~OffscreenRenderer() {
    if (native_->context != EGL_NO_CONTEXT) {
        if (native_->framebuffer != 0) {
            glDeleteFramebuffers(1, &native_->framebuffer);
            glDeleteRenderbuffers(1, &native_->colour);
            glDeleteRenderbuffers(1, &native_->depth);
        }
        eglMakeCurrent(native_->display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(native_->display, native_->context);
    }
    if (native_->display != EGL_NO_DISPLAY) eglTerminate(native_->display);
    delete native_;
}

FrameImage OffscreenRenderer::render(const CameraState& camera, const Parts* root) {
    FrameView view;
    view.camera = camera;
    view.width = width_;
    view.height = height_;
    view.root = root;
    drawFrame(view, native_->axes, native_->drawer);
    glFinish();
    return readFrame(width_, height_);
}

}  // namespace pelorin
