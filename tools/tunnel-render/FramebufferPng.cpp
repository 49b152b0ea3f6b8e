#include "FramebufferPng.h"

#include <algorithm>
#include <vector>

#include <GL/gl.h>

#include "PngFile.h"

bool WriteFramebufferPng(const std::string& path, int width, int height, std::string* error)
{
    const std::size_t stride = static_cast<std::size_t>(width) * 3;
    std::vector<unsigned char> pixels(stride * static_cast<std::size_t>(height));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());

    // GL's first row is the bottom one; PNG's is the top one.
    std::vector<unsigned char> topFirst(pixels.size());
    for (int y = 0; y < height; ++y) {
        const unsigned char* row =
            pixels.data() + stride * static_cast<std::size_t>(height - 1 - y);
        std::copy(row, row + stride, topFirst.data() + stride * static_cast<std::size_t>(y));
    }
    return WritePngFile(path, topFirst.data(), width, height, 3, error);
}
