// The web build's stand-ins for the GL 1.1 and GLU calls its GL lacks
// (see WebGlLayer.h). This file itself calls the real ones.

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstddef>
#include <vector>

namespace {

constexpr int kClientStackDepth = 16;  // GL's own minimum

GLint g_unpackAlignmentStack[kClientStackDepth];
int g_clientStackSize = 0;

int ChannelsOf(GLenum format)
{
    switch (format) {
    case GL_LUMINANCE:
    case GL_ALPHA:
        return 1;
    case GL_LUMINANCE_ALPHA:
        return 2;
    case GL_RGB:
        return 3;
    case GL_RGBA:
        return 4;
    default:
        return 0;
    }
}

// GLU's choice of a power of two: the one below, unless the size is at
// least three quarters of the one above.
GLsizei NearestPowerOfTwo(GLsizei size)
{
    GLsizei power = 1;
    for (GLsizei value = size;; value >>= 1, power *= 2) {
        if (value == 1)
            return power;
        if (value == 3)
            return power * 4;
    }
}

struct Image {
    GLsizei width;
    GLsizei height;
    int channels;
    std::vector<unsigned char> bytes;  // tight rows, top row first
};

// Each texel the mean of the source texels its area covers.
Image Scaled(const Image& source, GLsizei width, GLsizei height)
{
    Image out{width, height, source.channels, {}};
    out.bytes.resize(static_cast<std::size_t>(width) * height * source.channels);
    for (GLsizei y = 0; y < height; ++y) {
        const GLsizei top = y * source.height / height;
        GLsizei bottom = (y + 1) * source.height / height;
        if (bottom <= top)
            bottom = top + 1;
        for (GLsizei x = 0; x < width; ++x) {
            const GLsizei left = x * source.width / width;
            GLsizei right = (x + 1) * source.width / width;
            if (right <= left)
                right = left + 1;
            const unsigned count = static_cast<unsigned>((bottom - top) * (right - left));
            for (int c = 0; c < source.channels; ++c) {
                unsigned sum = 0;
                for (GLsizei sy = top; sy < bottom; ++sy)
                    for (GLsizei sx = left; sx < right; ++sx)
                        sum += source.bytes[(static_cast<std::size_t>(sy) * source.width + sx) *
                                                source.channels +
                                            c];
                out.bytes[(static_cast<std::size_t>(y) * width + x) * source.channels + c] =
                    static_cast<unsigned char>((sum + count / 2) / count);
            }
        }
    }
    return out;
}

// The next level as GLU makes it: each texel the mean of the four it covers,
// rounded, or of the two once a side is 1, rounded down.
Image Halved(const Image& source)
{
    const GLsizei width = source.width > 1 ? source.width / 2 : 1;
    const GLsizei height = source.height > 1 ? source.height / 2 : 1;
    const int channels = source.channels;
    Image out{width, height, channels, {}};
    out.bytes.resize(static_cast<std::size_t>(width) * height * channels);
    const int dx = source.width > 1 ? 1 : 0;
    const int dy = source.height > 1 ? 1 : 0;
    const auto at = [&](GLsizei x, GLsizei y, int c) {
        return static_cast<unsigned>(
            source.bytes[(static_cast<std::size_t>(y) * source.width + x) * channels + c]);
    };
    for (GLsizei y = 0; y < height; ++y) {
        for (GLsizei x = 0; x < width; ++x) {
            const GLsizei sx = x * (1 + dx);
            const GLsizei sy = y * (1 + dy);
            for (int c = 0; c < channels; ++c) {
                unsigned value;
                if (dx != 0 && dy != 0)
                    value = (at(sx, sy, c) + at(sx + 1, sy, c) + at(sx, sy + 1, c) +
                             at(sx + 1, sy + 1, c) + 2) /
                            4;
                else
                    value = (at(sx, sy, c) + at(sx + dx, sy + dy, c)) / 2;
                out.bytes[(static_cast<std::size_t>(y) * width + x) * channels + c] =
                    static_cast<unsigned char>(value);
            }
        }
    }
    return out;
}

void Upload(GLenum target, GLint level, GLenum format, const Image& image)
{
    // WebGL takes the internal format only when it equals the format.
    glTexImage2D(target, level, static_cast<GLint>(format), image.width, image.height, 0, format,
                 GL_UNSIGNED_BYTE, image.bytes.data());
}

}  // namespace

void BeginPrimitiveWeb(GLenum mode)
{
    glBegin(mode == GL_QUAD_STRIP ? GL_TRIANGLE_STRIP : mode);
}

void PushClientAttribWeb(GLbitfield)
{
    if (g_clientStackSize == kClientStackDepth)
        return;  // GL_STACK_OVERFLOW: nothing is pushed
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &g_unpackAlignmentStack[g_clientStackSize]);
    ++g_clientStackSize;
}

void PopClientAttribWeb()
{
    if (g_clientStackSize == 0)
        return;  // GL_STACK_UNDERFLOW
    --g_clientStackSize;
    glPixelStorei(GL_UNPACK_ALIGNMENT, g_unpackAlignmentStack[g_clientStackSize]);
}

void PixelStoreWeb(GLenum name, GLint value)
{
    // WebGL 1 has no row length or skips; at 0 they change nothing anyway.
    if ((name == GL_UNPACK_ROW_LENGTH || name == GL_UNPACK_SKIP_ROWS ||
         name == GL_UNPACK_SKIP_PIXELS) &&
        value == 0)
        return;
    glPixelStorei(name, value);
}

GLint Build2DMipmapsWeb(GLenum target, GLint, GLsizei width, GLsizei height, GLenum format,
                        GLenum type, const void* pixels)
{
    const int channels = ChannelsOf(format);
    if (width < 1 || height < 1)
        return GLU_INVALID_VALUE;
    if (channels == 0 || type != GL_UNSIGNED_BYTE)
        return GLU_INVALID_ENUM;

    // The caller's rows, padded to its unpack alignment.
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    const std::size_t rowBytes = static_cast<std::size_t>(width) * channels;
    const std::size_t stride = (rowBytes + alignment - 1) / alignment * alignment;
    Image image{width, height, channels, {}};
    image.bytes.resize(rowBytes * height);
    const unsigned char* source = static_cast<const unsigned char*>(pixels);
    for (GLsizei y = 0; y < height; ++y)
        for (std::size_t i = 0; i < rowBytes; ++i)
            image.bytes[y * rowBytes + i] = source[y * stride + i];

    GLint maxSize = 64;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    GLsizei levelWidth = NearestPowerOfTwo(width);
    GLsizei levelHeight = NearestPowerOfTwo(height);
    while (levelWidth > maxSize || levelHeight > maxSize) {
        levelWidth = levelWidth > 1 ? levelWidth / 2 : 1;
        levelHeight = levelHeight > 1 ? levelHeight / 2 : 1;
    }
    if (levelWidth != width || levelHeight != height)
        image = Scaled(image, levelWidth, levelHeight);

    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (GLint level = 0;; ++level) {
        Upload(target, level, format, image);
        if (image.width == 1 && image.height == 1)
            break;
        image = Halved(image);
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    return 0;
}
