#pragma once

// The CPU's count of one frame of the tunnel: the triangles the renderer
// sends for the rings the builder laid out, and what they cover.

#include "TriangleCoverage.h"

struct TunnelCoverage {
    long long trianglesSent = 0;      // two a quad of every ring pair's strip
    long long trianglesCulled = 0;    // facing the viewer (counter-clockwise): culled
    long long trianglesCovering = 0;  // kept and covering at least one pixel
    long long pixels = 0;             // fragments: pixels covered, summed over the kept ones
    long long pixelBlocks = 0;        // TriangleCoverage::pixelBlocks summed
    long long boxBlocks = 0;          // TriangleCoverage::boxBlocks summed
};

// A point of the tunnel's screen plane in window coordinates of a frame of
// width x height pixels, through the effect's projection (-4/3..4/3 across
// and -1..1 up, widened or heightened to keep pixels square) and a viewport
// of the whole frame.
WindowPoint ToWindow(float x, float y, int width, int height);

// The rings 0 .. g_ringCount - 1 of g_strip as the renderer draws them: a
// quad strip per ring pair, the entries 0, g_polyStep, ... 64 of the nearer
// ring and the farther one in turn, each quad (v0, v1, v2, v3) split into
// the triangles (v0, v1, v2) and (v0, v2, v3) as Mesa splits it (a concave
// quad strip drawn with an occlusion query covers what that split covers,
// not the other), front faces culled.
TunnelCoverage CoverTunnel(int width, int height);
