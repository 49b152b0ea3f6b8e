#pragma once

#include <string>

#include <gtest/gtest.h>

#include "platform/HeadlessGl.h"

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
