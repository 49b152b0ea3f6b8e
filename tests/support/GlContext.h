#pragma once

#include <string>

#include <gtest/gtest.h>

#include "headless/HeadlessGl.h"

// The headless context for tests (see HeadlessGl), which logs the renderer
// the first time a context is had, so that a test's output says what drew.
class GlContext {
public:
    // False, with Error() saying why, when no context can be had here.
    bool Create(int width, int height);
    void Destroy() { gl_.Destroy(); }

    bool IsCurrent() const { return gl_.IsCurrent(); }
    const std::string& Error() const { return gl_.Error(); }
    int Width() const { return gl_.Width(); }
    int Height() const { return gl_.Height(); }

private:
    HeadlessGl gl_;
};

// True when TUNNEL_REQUIRE_GL is set to anything but "" or "0" (scripts/test
// sets it): a missing context then fails the test, so that a machine whose GL
// is broken cannot pass with the GL tests unrun.
bool GlRequired();

// Ends the test when the context could not be made: a failure that says why
// where GL is required, else a skip.
#define END_TEST_WITHOUT_GL(context)                                                           \
    do {                                                                                       \
        if (GlRequired())                                                                      \
            GTEST_FAIL() << "no GL context (TUNNEL_REQUIRE_GL is set): " << (context).Error(); \
        GTEST_SKIP() << "no GL context: " << (context).Error();                                \
    } while (0)

// Fixture for GL tests at a chosen pbuffer size; ends the test (see
// END_TEST_WITHOUT_GL) when no context can be had. Fixtures built on it
// return from their SetUp when IsSkipped() or HasFatalFailure(). For example:
//   using Gl640x480Test = GlTestAt<640, 480>;
//   TEST_F(Gl640x480Test, DrawsSomething) { ... }
template <int Width, int Height>
class GlTestAt : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!gl_.Create(Width, Height)) {
            END_TEST_WITHOUT_GL(gl_);
        }
    }
    void TearDown() override { gl_.Destroy(); }

    GlContext gl_;
};

using GlTest = GlTestAt<64, 64>;
