#pragma once

#include <string>

#include <EGL/egl.h>

// A window-less OpenGL context: EGL on Mesa's surfaceless platform, a pbuffer
// of the chosen size as the default framebuffer, the desktop GL API with the
// compatibility profile (the effect draws in immediate mode). Current on the
// calling thread from Create() until Destroy() or destruction.
class HeadlessGl {
public:
    HeadlessGl() = default;
    ~HeadlessGl();
    HeadlessGl(const HeadlessGl&) = delete;
    HeadlessGl& operator=(const HeadlessGl&) = delete;

    // False, with Error() saying why, when no context can be had here. A
    // second call replaces the first context, at the new size.
    bool Create(int width, int height);
    void Destroy();

    bool IsCurrent() const { return context_ != EGL_NO_CONTEXT; }
    const std::string& Error() const { return error_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    EGLDisplay display_ = EGL_NO_DISPLAY;
    EGLSurface surface_ = EGL_NO_SURFACE;
    EGLContext context_ = EGL_NO_CONTEXT;
    int width_ = 0;
    int height_ = 0;
    std::string error_;
};
