#include "PixelProbe.h"

#include <cstdlib>

#include <GL/gl.h>

FramePixels FramePixels::Read(int width, int height)
{
    FramePixels pixels;
    pixels.width_ = width;
    pixels.height_ = height;
    pixels.rgba_.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.rgba_.data());
    return pixels;
}

Rgb FramePixels::At(int x, int y) const
{
    const std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                           static_cast<std::size_t>(x)) *
                          4;
    return {rgba_[i], rgba_[i + 1], rgba_[i + 2]};
}

::testing::AssertionResult ProbeRectRgb(const FramePixels& pixels, int x, int y, int width,
                                        int height, Rgb expected, int tolerance)
{
    for (int row = y; row < y + height; ++row) {
        for (int column = x; column < x + width; ++column) {
            if (!pixels.Contains(column, row)) {
                return ::testing::AssertionFailure()
                       << "probe at (" << column << ", " << row << ") is off the frame";
            }
            const Rgb seen = pixels.At(column, row);
            if (std::abs(seen.r - expected.r) > tolerance ||
                std::abs(seen.g - expected.g) > tolerance ||
                std::abs(seen.b - expected.b) > tolerance) {
                return ::testing::AssertionFailure()
                       << "probe at (" << column << ", " << row << "): expected rgb(" << expected.r
                       << ", " << expected.g << ", " << expected.b << ") +-" << tolerance
                       << ", observed rgb(" << seen.r << ", " << seen.g << ", " << seen.b << ")";
            }
        }
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult ProbeRectRgb(int x, int y, int width, int height, Rgb expected,
                                        int tolerance)
{
    return ProbeRectRgb(FramePixels::Read(x + width, y + height), x, y, width, height, expected,
                        tolerance);
}
