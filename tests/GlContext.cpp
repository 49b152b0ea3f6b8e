#include "GlContext.h"

#include <cstdio>

#include <EGL/eglext.h>
#include <GL/gl.h>

namespace {

// One display for the whole process: initialising it loads the driver, which
// is slow, and a display terminated while another test still has it would
// pull the context out from under it.
EGLDisplay g_display = EGL_NO_DISPLAY;
bool g_displayTried = false;
std::string g_displayError;
bool g_rendererLogged = false;

std::string EglError(const char* what)
{
    char text[96];
    std::snprintf(text, sizeof text, "%s failed (EGL error 0x%04X)", what,
                  static_cast<unsigned>(eglGetError()));
    return text;
}

EGLDisplay SurfacelessDisplay(std::string* error)
{
    if (g_displayTried) {
        *error = g_displayError;
        return g_display;
    }
    g_displayTried = true;

    const char* extensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (extensions == nullptr || std::string(extensions).find("EGL_MESA_platform_surfaceless") ==
                                     std::string::npos) {
        g_displayError = "EGL_MESA_platform_surfaceless is not available";
        *error = g_displayError;
        return EGL_NO_DISPLAY;
    }
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr) {
        g_displayError = "eglGetPlatformDisplayEXT is not available";
        *error = g_displayError;
        return EGL_NO_DISPLAY;
    }
    EGLDisplay display =
        getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY) {
        g_displayError = EglError("eglGetPlatformDisplayEXT");
    } else if (eglInitialize(display, nullptr, nullptr) != EGL_TRUE) {
        g_displayError = EglError("eglInitialize");
        display = EGL_NO_DISPLAY;
    }
    g_display = display;
    *error = g_displayError;
    return g_display;
}

}  // namespace

GlContext::~GlContext()
{
    Destroy();
}

bool GlContext::Create(int width, int height)
{
    Destroy();
    display_ = SurfacelessDisplay(&error_);
    if (display_ == EGL_NO_DISPLAY) {
        return false;
    }
    if (eglBindAPI(EGL_OPENGL_API) != EGL_TRUE) {
        error_ = EglError("eglBindAPI(EGL_OPENGL_API)");
        return false;
    }

    const EGLint configAttributes[] = {EGL_SURFACE_TYPE,    EGL_PBUFFER_BIT,
                                       EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                       EGL_RED_SIZE,        8,
                                       EGL_GREEN_SIZE,      8,
                                       EGL_BLUE_SIZE,       8,
                                       EGL_ALPHA_SIZE,      8,
                                       EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configCount = 0;
    if (eglChooseConfig(display_, configAttributes, &config, 1, &configCount) != EGL_TRUE ||
        configCount < 1) {
        error_ = EglError("eglChooseConfig (8-bit RGBA pbuffer, desktop GL)");
        return false;
    }

    const EGLint surfaceAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    surface_ = eglCreatePbufferSurface(display_, config, surfaceAttributes);
    if (surface_ == EGL_NO_SURFACE) {
        error_ = EglError("eglCreatePbufferSurface");
        return false;
    }

    // The program draws with OpenGL 1.1 immediate mode, so ask for the
    // compatibility profile explicitly.
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

    if (!g_rendererLogged) {
        g_rendererLogged = true;
        const GLubyte* renderer = glGetString(GL_RENDERER);
        const GLubyte* version = glGetString(GL_VERSION);
        std::printf("GL renderer: %s, version %s\n",
                    renderer ? reinterpret_cast<const char*>(renderer) : "?",
                    version ? reinterpret_cast<const char*>(version) : "?");
        std::fflush(stdout);
    }
    return true;
}

void GlContext::Destroy()
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
    // The display stays initialised for the rest of the process.
    display_ = EGL_NO_DISPLAY;
    width_ = 0;
    height_ = 0;
}
