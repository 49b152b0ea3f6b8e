#pragma once

#include <cstddef>
#include <vector>

#include <gtest/gtest.h>

// What GL drew, read back, and checked the way GL conformance suites probe
// (piglit's piglit_probe_rect_rgba): every pixel of a rectangle within a
// tolerance of the expected colour, a failure naming the first pixel that is
// not, with the expected and the observed colour.

struct Rgb {
    int r, g, b;
};

// The framebuffer's pixels from (0, 0), bottom row first as GL counts rows.
class FramePixels {
public:
    static FramePixels Read(int width, int height);

    Rgb At(int x, int y) const;
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<unsigned char> rgba_;
};

// Each channel of every pixel in the rectangle within tolerance (in 0..255
// levels) of expected.
::testing::AssertionResult ProbeRectRgb(const FramePixels& pixels, int x, int y, int width,
                                        int height, Rgb expected, int tolerance);
// The same on the current framebuffer.
::testing::AssertionResult ProbeRectRgb(int x, int y, int width, int height, Rgb expected,
                                        int tolerance);
