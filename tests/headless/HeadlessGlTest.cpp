#include <GL/gl.h>

#include "GlContext.h"
#include "PixelProbe.h"

namespace {

using GlOddSizeTest = GlTestAt<300, 400>;

// The renderer's tests rely on the pbuffer having the size asked for and on
// immediate mode drawing into it.
TEST_F(GlOddSizeTest, PbufferHasTheChosenSizeAndImmediateModeDraws)
{
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(0, viewport[0]);
    EXPECT_EQ(0, viewport[1]);
    EXPECT_EQ(300, viewport[2]);
    EXPECT_EQ(400, viewport[3]);

    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3ub(255, 0, 0);
    glBegin(GL_QUADS);  // left half red, in the default [-1, 1] clip space
    glVertex2f(-1.0f, -1.0f);
    glVertex2f(0.0f, -1.0f);
    glVertex2f(0.0f, 1.0f);
    glVertex2f(-1.0f, 1.0f);
    glEnd();
    glFinish();
    EXPECT_EQ(static_cast<GLenum>(GL_NO_ERROR), glGetError());

    EXPECT_TRUE(ProbeRectRgb(0, 0, 150, 400, {255, 0, 0}, 0));
    EXPECT_TRUE(ProbeRectRgb(150, 0, 150, 400, {0, 0, 255}, 0));
}

TEST(GlContext, CanBeRecreatedAtAnotherSizeInOneProcess)
{
    GlContext gl;
    if (!gl.Create(640, 480)) {
        END_TEST_WITHOUT_GL(gl);
    }
    EXPECT_EQ(640, gl.Width());
    ASSERT_TRUE(gl.Create(800, 300)) << gl.Error();
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(800, viewport[2]);
    EXPECT_EQ(300, viewport[3]);
    gl.Destroy();
    EXPECT_FALSE(gl.IsCurrent());
}

}  // namespace
