#include "headless/HeadlessGl.h"

#include <cstdio>
#include <cstring>

#include <EGL/eglext.h>

namespace {

// One display for the whole process, never terminated: initialising it loads
// the driver, which is slow; terminating it would pull the context out from
// under another holder, and unloading the driver leaves some of its
// allocations behind.
EGLDisplay g_display = EGL_NO_DISPLAY;
bool g_displayTried = false;
std::string g_displayError;

std::string EglError(const char* what)
{
    char text[96];
    std::snprintf(text, sizeof text, "%s failed (EGL error 0x%04X)", what,
                  static_cast<unsigned>(eglGetError()));
    return text;
}

EGLDisplay OpenSurfacelessDisplay(std::string* error)
{
    const char* extensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (extensions == nullptr ||
        std::strstr(extensions, "EGL_MESA_platform_surfaceless") == nullptr) {
        *error = "EGL_MESA_platform_surfaceless is not available";
        return EGL_NO_DISPLAY;
    }
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr) {
        *error = "eglGetPlatformDisplayEXT is not available";
        return EGL_NO_DISPLAY;
    }
    EGLDisplay display =
        getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY) {
        *error = EglError("eglGetPlatformDisplayEXT");
        return EGL_NO_DISPLAY;
    }
    if (eglInitialize(display, nullptr, nullptr) != EGL_TRUE) {
        *error = EglError("eglInitialize");
        return EGL_NO_DISPLAY;
    }
    return display;
}

EGLDisplay SurfacelessDisplay(std::string* error)
{
    if (!g_displayTried) {
        g_displayTried = true;
        g_display = OpenSurfacelessDisplay(&g_displayError);
    }
    *error = g_displayError;
    return g_display;
}

}  // namespace

HeadlessGl::~HeadlessGl()
{
    Destroy();
}

bool HeadlessGl::Create(int width, int height)
{
    Destroy();
    display_ = SurfacelessDisplay(&error_);
    if (display_ == EGL_NO_DISPLAY) {
        return false;
    }
    if (eglBindAPI(EGL_OPENGL_API) != EGL_TRUE) {
        error_ = EglError("eglBindAPI(EGL_OPENGL_API)");
        Destroy();
        return false;
    }

    // Eight bits a channel and no depth buffer, like the program's window.
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE,
                                       EGL_PBUFFER_BIT,
                                       EGL_RENDERABLE_TYPE,
                                       EGL_OPENGL_BIT,
                                       EGL_RED_SIZE,
                                       8,
                                       EGL_GREEN_SIZE,
                                       8,
                                       EGL_BLUE_SIZE,
                                       8,
                                       EGL_ALPHA_SIZE,
                                       8,
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
    width_ = width;
    height_ = height;
    return true;
}

void HeadlessGl::Destroy()
{
    if (display_ == EGL_NO_DISPLAY) {
        return;
    }
    if (context_ != EGL_NO_CONTEXT || surface_ != EGL_NO_SURFACE) {
        eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    }
    if (context_ != EGL_NO_CONTEXT) {
        eglDestroyContext(display_, context_);
        context_ = EGL_NO_CONTEXT;
    }
    if (surface_ != EGL_NO_SURFACE) {
        eglDestroySurface(display_, surface_);
        surface_ = EGL_NO_SURFACE;
    }
    display_ = EGL_NO_DISPLAY;  // the display itself stays, see g_display
    width_ = 0;
    height_ = 0;
}
