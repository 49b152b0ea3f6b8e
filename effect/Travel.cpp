#include "effect/Travel.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "effect/EffectState.h"
#include "effect/RingTable.h"

double g_travelCarry = 0.0;

namespace {

double FloatSpacingAbove(float value)
{
    return static_cast<double>(std::nextafter(value, std::numeric_limits<float>::infinity())) -
           static_cast<double>(value);
}

}  // namespace

void ResetFlight()
{
    g_travel = 0.0f;
    g_travelCarry = 0.0;
    g_speed = kInitialSpeed;
    InitCrossSection();
}

std::int32_t AdvanceTravel()
{
    double step = static_cast<double>(g_deltaTime) * static_cast<double>(g_speed);
    if (!(step > 0.0)) {
        step = 0.0;  // not a number, or backwards: the ring cache needs a travel that never falls
    } else if (step > kMaxTravelStep) {
        step = kMaxTravelStep;
    }

    const float before = g_travel;
    // With no carry this is exactly delta * speed + travel.
    const double due = step + g_travelCarry;
    double sum = due + static_cast<double>(before);
    double from = before;
    if (sum >= kTravelRebaseThreshold) {
        sum -= kTravelRebaseShift;
        from -= kTravelRebaseShift;
        // Far below the base every index is unbuilt alike; -1 keeps it from underflowing
        // when the tunnel ran out long ago and the window stays open.
        g_lastBuiltRing = std::max(g_lastBuiltRing - kTravelRebaseRings, -1);
    }
    g_travel = static_cast<float>(sum);
    if (step < kCarryBelowSpacings * FloatSpacingAbove(g_travel)) {
        g_travelCarry = due - (static_cast<double>(g_travel) - from);
    } else {
        g_travelCarry = 0.0;
    }
    // g_travel only ever holds what this function stored, so sum is below
    // 2^24 + 2^22 before the rebase and below 2^24 after it: always defined.
    return static_cast<std::int32_t>(static_cast<std::int64_t>(sum));
}
