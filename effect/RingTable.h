#pragma once

#include "math/Vec4.h"

// The ring cache: ring k's geometry lives in slot k & 127, generated once when
// the builder first reaches it, beside the base cross-section every ring's
// points are scaled from.

constexpr int kRingSlots = 128;
constexpr int kRingPoints = 64;

struct RingFrame {
    Vec4 angles;   // x, y, z: twist angles a, b, c of this ring, in radians
    Vec4 origin;   // ring centre relative to the camera, this frame
    Vec4 axisX;    // direction of a cross-section point's x, this frame
    Vec4 axisZ;    // direction of a cross-section point's y, this frame
    float radius;  // 25 times the ring's scale factor
};

struct RingPoint {
    float x, y;
};

// Plain static arrays: they must be zero before any static constructor of
// another unit runs, and default construction of RingFrame leaves them so.
extern RingFrame g_ringFrames[kRingSlots];
extern RingPoint g_circle[kRingPoints];
extern RingPoint g_ringPoints[kRingSlots][kRingPoints];

// Single-precision pi, used as such inside double expressions.
constexpr float kPi = 3.14159274f;

// Fills the base circle of radius 25 and resets g_lastBuiltRing to -1 and
// g_polyStep to 1. The last step of the effect's set-up.
void InitCrossSection();

// Generates ring `ringIndex` into `slot` (0..127): its 64 points scaled from
// the base circle, its radius and its three twist angles.
void BuildRing(int slot, int ringIndex, float scale);
