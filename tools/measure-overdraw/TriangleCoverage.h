#pragma once

// What one triangle costs a rasteriser that shades whole 4 x 4 blocks of
// pixels, counted on the CPU from its window coordinates: the pixels it
// covers and the blocks it reaches, two ways. For measure-overdraw, which
// sets these counts beside the GL's own count of fragments.

// A point in window coordinates: pixels from the lower left corner of the
// frame, y up, pixel (i, j) centred on (i + 0.5, j + 0.5).
struct WindowPoint {
    double x, y;
};

constexpr int kShadeBlock = 4;  // the side of a shaded block, in pixels

struct TriangleCoverage {
    long long pixels = 0;       // pixel centres inside, each shared edge counted once
    long long pixelBlocks = 0;  // aligned 4 x 4 blocks holding at least one of those pixels
    long long boxBlocks = 0;    // aligned 4 x 4 blocks overlapping the box of the pixels
                                // whose centres lie within the bounding box, in the frame
};

// Counter-clockwise on the screen (y up): the face GL calls front by default.
bool IsCounterClockwise(const WindowPoint& a, const WindowPoint& b, const WindowPoint& c);

// The coverage of a triangle, either winding, within a frame of width x
// height pixels. A pixel centre on an edge belongs to the triangle when the
// edge is a left or a top one, so that two triangles sharing an edge never
// both take a pixel on it and never both leave it. A triangle with no area,
// or with a coordinate that is not finite, counts nothing at all, as a
// rasteriser drops it before binning.
TriangleCoverage CoverTriangle(WindowPoint a, WindowPoint b, WindowPoint c, int width, int height);
