#pragma once

#include <string>

#include <EGL/egl.h>

// A window-less OpenGL context: EGL on Mesa's surfaceless platform with a
// pbuffer of the chosen size as the default framebuffer, desktop GL with the
// compatibility profile (the effect draws in immediate mode). Current on the
// calling thread from Create() until Destroy() or destruction.
class OffscreenGl {
public:
    OffscreenGl() = default;
    ~OffscreenGl();
    OffscreenGl(const OffscreenGl&) = delete;
    OffscreenGl& operator=(const OffscreenGl&) = delete;

    // False, with Error() saying why, when no such context can be had.
    bool Create(int width, int height);
    void Destroy();

    const std::string& Error() const { return error_; }

private:
    EGLDisplay display_ = EGL_NO_DISPLAY;
    EGLSurface surface_ = EGL_NO_SURFACE;
    EGLContext context_ = EGL_NO_CONTEXT;
    std::string error_;
};
