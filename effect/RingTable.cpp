#include "effect/RingTable.h"

#include <cmath>

#include "effect/EffectState.h"

RingFrame g_ringFrames[kRingSlots];
RingPoint g_circle[kRingPoints];
RingPoint g_ringPoints[kRingSlots][kRingPoints];

void InitCrossSection()
{
    // pi / 32 as a float, then widened: the angle step is not the exact one.
    constexpr float kAngleStep = 0.0981747732f;
    for (int i = 0; i < kRingPoints; ++i) {
        const double theta = static_cast<double>(i) * kAngleStep;
        g_circle[i].x = static_cast<float>(std::sin(theta) * 25.0);
        g_circle[i].y = static_cast<float>(std::cos(theta) * 25.0);
    }
    g_lastBuiltRing = -1;
    g_polyStep = 1;
}

void BuildRing(int slot, int ringIndex, float scale)
{
    const double factor = scale;
    for (int i = 0; i < kRingPoints; ++i) {
        g_ringPoints[slot][i].x = static_cast<float>(factor * g_circle[i].x);
        g_ringPoints[slot][i].y = static_cast<float>(factor * g_circle[i].y);
    }
    RingFrame& ring = g_ringFrames[slot];
    ring.radius = static_cast<float>(factor * 25.0);

    // Evaluated left to right: (k * P / n), then sin * amplitude * P / 1500.
    const double k = ringIndex;
    const double pi = kPi;
    ring.angles.x = static_cast<float>(std::sin(k * pi / 40.0) * 8.0 * pi / 1500.0);
    ring.angles.y = static_cast<float>(std::sin(k * pi / 90.0) * 4.0 * 8.0 * pi / 1500.0);
    ring.angles.z = static_cast<float>(std::sin(k * pi / 70.0) * 2.0 * 8.0 * pi / 1500.0);
}
