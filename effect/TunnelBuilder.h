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
    ScreenRect& Intersect(const ScreenRect& other);
};

constexpr int kStripEntries = kRingPoints + 1;  // entry 64 closes the ring on entry 0

struct StripVertex {
    float x, y;  // screen position
    float u, v;  // texture coordinates
};

extern float g_ringDepth[kRingSlots];                      // ring s: s + 1 - f ring steps ahead
extern StripVertex g_strip[kRingSlots][kStripEntries];     // ring s's projected cross-section

// The two points where the line a*x + b*y = c meets the unit circle.
void CircleLinePoints(double a, double b, double c, float& x1, float& y1, float& x2, float& y2);

// Fills rect with the screen bounding box of the ring stored in slot.
void RingScreenExtent(int slot, ScreenRect& rect);

// Lays out the visible tunnel for a travel in 1/256 ring steps.
void BuildTunnel(std::int32_t travel);
