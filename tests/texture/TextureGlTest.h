#pragma once

#include <vector>

#include <GL/gl.h>

#include "GlCallLog.h"
#include "GlContext.h"

// GL tests of the texture object: a real context, an empty call log, and
// readback of whatever texture is bound.
class TextureGlTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        GlCallLog().clear();
    }

    static GLint LevelParameter(int level, GLenum parameter)
    {
        GLint value = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, parameter, &value);
        return value;
    }

    static GLuint BoundTexture()
    {
        GLint name = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
        return static_cast<GLuint>(name);
    }

    static GLint Unpack(GLenum parameter)
    {
        GLint value = 0;
        glGetIntegerv(parameter, &value);
        return value;
    }

    // Level `level` of the bound texture, rows of width x channels bytes.
    static std::vector<unsigned char> ReadLevel(int level, GLenum format, int channels)
    {
        const GLint width = LevelParameter(level, GL_TEXTURE_WIDTH);
        const GLint height = LevelParameter(level, GL_TEXTURE_HEIGHT);
        std::vector<unsigned char> texels(static_cast<std::size_t>(width) *
                                          static_cast<std::size_t>(height) *
                                          static_cast<std::size_t>(channels));
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        if (!texels.empty()) {
            glGetTexImage(GL_TEXTURE_2D, level, format, GL_UNSIGNED_BYTE, texels.data());
        }
        return texels;
    }

    // Every level from 0 down to 1 x 1 exists, each half the size before.
    static void ExpectFullMipmapChain()
    {
        GLint width = LevelParameter(0, GL_TEXTURE_WIDTH);
        GLint height = LevelParameter(0, GL_TEXTURE_HEIGHT);
        ASSERT_GT(width, 0);
        ASSERT_GT(height, 0);
        int level = 0;
        while (width > 1 || height > 1) {
            ++level;
            width = width > 1 ? width / 2 : 1;
            height = height > 1 ? height / 2 : 1;
            EXPECT_EQ(width, LevelParameter(level, GL_TEXTURE_WIDTH)) << "level " << level;
            EXPECT_EQ(height, LevelParameter(level, GL_TEXTURE_HEIGHT)) << "level " << level;
        }
    }
};
