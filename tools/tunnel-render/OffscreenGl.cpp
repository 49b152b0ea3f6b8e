#include "OffscreenGl.h"

#include <cstdio>
#include <cstring>

#include <EGL/eglext.h>

namespace {

std::string EglError(const char* what)
{
    char text[96];
    std::snprintf(text, sizeof text, "%s failed (EGL error 0x%04X)", what,
                  static_cast<unsigned>(eglGetError()));
    return text;
}

}  // namespace

OffscreenGl::~OffscreenGl()
{
    Destroy();
}

bool OffscreenGl::Create(int width, int height)
{
    Destroy();
    const char* extensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (extensions == nullptr || std::strstr(extensions, "EGL_MESA_platform_surfaceless") == nullptr) {
        error_ = "EGL_MESA_platform_surfaceless is not available";
        return false;
    }
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr) {
        error_ = "eglGetPlatformDisplayEXT is not available";
        return false;
    }
    display_ = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display_ == EGL_NO_DISPLAY) {
        error_ = EglError("eglGetPlatformDisplayEXT");
        return false;
    }
    if (eglInitialize(display_, nullptr, nullptr) != EGL_TRUE) {
        error_ = EglError("eglInitialize");
        display_ = EGL_NO_DISPLAY;
        return false;
    }
    if (eglBindAPI(EGL_OPENGL_API) != EGL_TRUE) {
        error_ = EglError("eglBindAPI(EGL_OPENGL_API)");
        Destroy();
        return false;
    }

    // Eight bits a channel and no depth buffer, like the program's window.
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT,
                                       EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                       EGL_RED_SIZE, 8,
                                       EGL_GREEN_SIZE, 8,
                                       EGL_BLUE_SIZE, 8,
                                       EGL_ALPHA_SIZE, 8,
                                       EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configCount = 0;
    if (eglChooseConfig(display_, configAttributes, &config, 1, &configCount) != EGL_TRUE ||
        configCount < 1) {
        error_ = EglError("eglChooseConfig (8-bit RGBA pbuffer, desktop GL)");
        Destroy();
        return false;
    }
    const EGLint surfaceAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    surface_ = eglCreatePbufferSurface(display_, config, surfaceAttributes);
    if (surface_ == EGL_NO_SURFACE) {
        error_ = EglError("eglCreatePbufferSurface");
        Destroy();
        return false;
    }
    const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    context_ = eglCreateContext(display_, config, EGL_NO_CONTEXT, contextAttributes);
    if (context_ == EGL_NO_CONTEXT) {
        error_ = EglError("eglCreateContext (compatibility profile)");
        Destroy();
        return false;
    }
    if (eglMakeCurrent(display_, surface_, surface_, context_) != EGL_TRUE) {
        error_ = EglError("eglMakeCurrent");
        Destroy();
        return false;
    }
    return true;
}

void OffscreenGl::Destroy()
{
    if (display_ == EGL_NO_DISPLAY) {
        return;
    }
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (context_ != EGL_NO_CONTEXT) {
        eglDestroyContext(display_, context_);
        context_ = EGL_NO_CONTEXT;
    }
    if (surface_ != EGL_NO_SURFACE) {
        eglDestroySurface(display_, surface_);
        surface_ = EGL_NO_SURFACE;
    }
    // The display stays initialised until the process ends: terminating it
    // unloads the driver, which leaves some of its allocations behind.
    display_ = EGL_NO_DISPLAY;
}
