#include "web/WebGlLayer.h"

#include <cstdint>
#include <random>
#include <vector>

#include "GlContext.h"
#include "effect/EffectState.h"
#include "effect/RingTable.h"
#include "effect/TunnelBuilder.h"

// The web build's GL layer checked against the real GL and GLU (Mesa): what
// it draws and uploads in their place must be what they give. A name in
// parentheses is the real call, not the layer's macro.

namespace {

using GlLayerTest = GlTestAt<640, 480>;

std::vector<unsigned char> ReadFrame()
{
    std::vector<unsigned char> rgba(640 * 480 * 4);
    (glPixelStorei)(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 640, 480, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

// A tunnel frame as the renderer draws it, each ring pair in a colour of its
// own and with the renderer's culling, through the real glBegin or the
// layer's.
std::vector<unsigned char> DrawTunnelFrame(bool throughLayer)
{
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(-4.0 / 3.0, 4.0 / 3.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glCullFace(GL_FRONT);
    glEnable(GL_CULL_FACE);
    for (int p = g_ringCount - 2; p >= 0; --p) {
        glColor3ub(static_cast<GLubyte>(40 + p * 5), static_cast<GLubyte>(255 - p * 3), 128);
        if (throughLayer)
            BeginPrimitiveWeb(GL_QUAD_STRIP);
        else
            (glBegin)(GL_QUAD_STRIP);
        for (int q = 0; q <= kRingPoints; ++q) {
            glVertex2f(g_strip[p][q].x, g_strip[p][q].y);
            glVertex2f(g_strip[p + 1][q].x, g_strip[p + 1][q].y);
        }
        glEnd();
    }
    glDisable(GL_CULL_FACE);
    return ReadFrame();
}

TEST_F(GlLayerTest, QuadStripsAsTriangleStripsCoverTheSamePixelsWithTheSameWinding)
{
    ResetEffectStateToLoadValues();
    InitCrossSection();
    for (const int travel : {0, 300, 5000, 91000}) {
        for (const int shape : {0, 1}) {
            g_rippleShape = shape;
            BuildTunnel(travel);
            ASSERT_GT(g_ringCount, 2);
            const std::vector<unsigned char> quads = DrawTunnelFrame(false);
            const std::vector<unsigned char> triangles = DrawTunnelFrame(true);
            int drawn = 0;
            int differing = 0;
            for (std::size_t i = 0; i < quads.size(); i += 4) {
                drawn += quads[i] != 0 ? 1 : 0;
                differing += quads[i] != triangles[i] || quads[i + 1] != triangles[i + 1] ? 1 : 0;
            }
            // Culling the other way round would leave the frame nearly empty. The
            // two diagonals split a quad alike but where the far rings fold
            // (a quad no longer convex): a few pixels there, 6 at most here.
            EXPECT_GT(drawn, 640 * 480 / 2) << "travel " << travel << ", shape " << shape;
            EXPECT_LE(differing, 16) << "travel " << travel << ", shape " << shape;
        }
    }
}

// Every level of the bound texture: its width and height, then its bytes.
std::vector<std::vector<unsigned char>> ReadLevels(GLenum format, int channels)
{
    std::vector<std::vector<unsigned char>> levels;
    (glPixelStorei)(GL_PACK_ALIGNMENT, 1);
    for (GLint level = 0;; ++level) {
        GLint width = 0;
        GLint height = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
        if (width == 0 || height == 0)
            return levels;
        std::vector<unsigned char> bytes(static_cast<std::size_t>(width) * height * channels + 2);
        bytes[0] = static_cast<unsigned char>(width);
        bytes[1] = static_cast<unsigned char>(height);
        glGetTexImage(GL_TEXTURE_2D, level, format, GL_UNSIGNED_BYTE, bytes.data() + 2);
        levels.push_back(bytes);
        if (width == 1 && height == 1)
            return levels;
    }
}

struct Upload {
    int width;
    int height;
    GLenum format;
    int channels;
    int alignment;
};

TEST_F(GlLayerTest, MipmapsAreGlusOwnAndTheCallersPixelStoreIsKept)
{
    std::mt19937 random(7);
    // Powers of two, level for level; other sizes at GLU's power-of-two choice.
    const Upload uploads[] = {{32, 8, GL_RGB, 3, 1},
                              {16, 16, GL_LUMINANCE, 1, 4},
                              {6, 5, GL_RGB, 3, 4},
                              {96, 40, GL_LUMINANCE, 1, 1}};
    for (const Upload& upload : uploads) {
        const int stride = (upload.width * upload.channels + upload.alignment - 1) /
                           upload.alignment * upload.alignment;
        std::vector<unsigned char> pixels(static_cast<std::size_t>(stride) * upload.height);
        for (unsigned char& byte : pixels)
            byte = static_cast<unsigned char>(random());
        const bool powerOfTwo =
            (upload.width & (upload.width - 1)) == 0 && (upload.height & (upload.height - 1)) == 0;

        std::vector<std::vector<unsigned char>> levels[2];
        for (const bool throughLayer : {false, true}) {
            GLuint texture = 0;
            glGenTextures(1, &texture);
            glBindTexture(GL_TEXTURE_2D, texture);
            (glPixelStorei)(GL_UNPACK_ALIGNMENT, upload.alignment);
            if (throughLayer) {
                PushClientAttribWeb(GL_CLIENT_PIXEL_STORE_BIT);
                PixelStoreWeb(GL_UNPACK_ROW_LENGTH, 0);
                EXPECT_EQ(
                    Build2DMipmapsWeb(GL_TEXTURE_2D, upload.channels, upload.width, upload.height,
                                      upload.format, GL_UNSIGNED_BYTE, pixels.data()),
                    0);
                PixelStoreWeb(GL_UNPACK_ALIGNMENT, 2);
                PopClientAttribWeb();
            } else {
                (gluBuild2DMipmaps)(GL_TEXTURE_2D, upload.channels, upload.width, upload.height,
                                    upload.format, GL_UNSIGNED_BYTE, pixels.data());
            }
            GLint alignment = 0;
            glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
            EXPECT_EQ(alignment, upload.alignment);
            levels[throughLayer ? 1 : 0] = ReadLevels(upload.format, upload.channels);
            glDeleteTextures(1, &texture);
        }
        ASSERT_EQ(levels[0].size(), levels[1].size()) << upload.width << " x " << upload.height;
        for (std::size_t level = 0; level < levels[0].size(); ++level) {
            EXPECT_EQ(levels[0][level][0], levels[1][level][0]) << "width at level " << level;
            EXPECT_EQ(levels[0][level][1], levels[1][level][1]) << "height at level " << level;
            if (powerOfTwo) {
                EXPECT_EQ(levels[0][level], levels[1][level])
                    << upload.width << " x " << upload.height << ", level " << level;
            }
        }
    }
}

}  // namespace
