#pragma once

#include <cstdint>

#include "effect/RingTable.h"

// The per-frame tunnel builder: marches the rings ahead of the camera, stops
// where the bending tunnel hides the rest, and projects the marched rings into
// g_strip for the renderer.

// An axis-aligned rectangle on the screen plane; empty when minX > maxX or
// minY > maxY (strictly: zero width or height is not empty).
struct ScreenRect {
    float minX, minY, maxX, maxY;

    void SetUnbounded();  // -1e10 .. 1e10 on both axes
    bool IsEmpty() const;
    // Keeps the inner edges; an edge of other that is not a number is ignored.
    ScreenRect& Intersect(const ScreenRect& other);
};

constexpr int kStripEntries = kRingPoints + 1;  // entry 64 closes the ring on entry 0

struct StripVertex {
    float x, y;  // screen position
    float u, v;  // texture coordinates
};

extern float g_ringDepth[kRingSlots];                   // ring s: s + 1 - f ring steps ahead
extern StripVertex g_strip[kRingSlots][kStripEntries];  // ring s's projected cross-section

// The two points where the line a*x + b*y = c meets the unit circle.
void CircleLinePoints(double a, double b, double c, float& x1, float& y1, float& x2, float& y2);

// Fills rect with the screen bounding box of the ring stored in slot: exact
// for a ring wholly in front of the camera (Y > 0 all round). A ring that
// crosses the camera plane, or whose box cannot be computed (not-a-number
// or a depth not above zero at a tangent point), gives the unbounded
// rectangle and so never narrows the window; a ring wholly at or behind the
// plane gives an empty rectangle (+1e10 .. -1e10), since no line of sight
// passes through it. rect never holds not-a-number.
void RingScreenExtent(int slot, ScreenRect& rect);

// Lays out the visible tunnel for a travel in 1/256 ring steps: sets
// g_ringCount and, unless it is 0, g_ringDepth and the entries 0, g_polyStep,
// 2 g_polyStep, ... 64 of rows 0 .. g_ringCount - 1 of g_strip; generates the
// rings reached for the first time. Allocates nothing.
void BuildTunnel(std::int32_t travel);
