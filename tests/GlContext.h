#pragma once

#include <string>

#include <EGL/egl.h>
#include <gtest/gtest.h>

// A real, headless OpenGL context for tests: EGL on Mesa's surfaceless
// platform, a pbuffer of the chosen size, the desktop GL API with a
// compatibility profile (immediate mode, glBegin/glEnd). The context is
// current on the calling thread from Create() until the object goes away.
class GlContext {
public:
    GlContext() = default;
    ~GlContext();
    GlContext(const GlContext&) = delete;
    GlContext& operator=(const GlContext&) = delete;

    // False, with Error() saying why, when no context can be had here.
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

// Fixture for GL tests at a chosen pbuffer size; skips the test only when no
// context can be had. For example:
//   using Gl640x480Test = GlTestAt<640, 480>;
//   TEST_F(Gl640x480Test, DrawsSomething) { ... }
template <int Width, int Height>
class GlTestAt : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!gl_.Create(Width, Height)) {
            GTEST_SKIP() << "no GL context: " << gl_.Error();
        }
    }
    void TearDown() override { gl_.Destroy(); }

    GlContext gl_;
};

using GlTest = GlTestAt<64, 64>;
