#pragma once

#include <cstdint>

// The frame's travel step: GL-free arithmetic on the effect state, shared by
// the renderer, the tests and the benchmarks.

// Travel over long runs:
//
// g_travel is a float and the builder takes a 32-bit travel, so left alone
// the camera would stop for good after some hours (the step drops below half
// the float spacing) and the integer would later overflow. Three measures
// keep the motion smooth for any run length and any speed the keys reach,
// while leaving the plain float arithmetic untouched where it is still fine:
//  - Rebase: once the travel passes kTravelRebaseThreshold, the travel and
//    g_lastBuiltRing move back together by kTravelRebaseRings rings, a common
//    multiple of the ring slots (128), the texture's v repeat (64 rings), the
//    ripple period (20) and the twist periods (5040), so cached rings,
//    texture and shape carry on without a seam.
//  - Clamp: a step that is not a number (a zero delta times an infinite
//    speed) or negative moves nothing; a larger step than kMaxTravelStep is
//    cut to it, far beyond what the eye can follow.
//  - Carry: where the float spacing is coarse for the step (slow speeds at
//    high frame rates), what g_travel could not hold is carried in
//    g_travelCarry to the next frame instead of being lost.

constexpr double kTravelRebaseThreshold = 16777216.0;  // 2^24: spacing still at most 1
constexpr int kTravelRebaseRings = 40320;
constexpr double kTravelRebaseShift = 40320.0 * 256.0;
constexpr double kMaxTravelStep = 4194304.0;  // 2^22 units: 16384 rings a frame
// The plain float arithmetic is kept while the step spans at least this many
// float spacings of g_travel: its rounding then costs at most 1/8 of a step.
// Four, not more: a real clock's deltas wander by the float rounding of
// g_time (7 to 9 units a step at the default speed and 1 ms frames after half
// an hour), and that step must stay clear of the threshold up to 2^24
// (spacing 1), so that the first half hour keeps the plain arithmetic.
constexpr double kCarryBelowSpacings = 4.0;

// Travel that g_travel could not hold, in 1/256 ring steps; 0 while the
// plain arithmetic applies. InitEffect clears it.
extern double g_travelCarry;

// The effect's set-up without GL, as InitEffect does it: no travel and no
// carry, the initial speed, the cross-section laid anew (InitCrossSection).
void ResetFlight();

// The travel step of a frame: adds g_deltaTime * g_speed to the travel
// (with the measures above) and returns the builder's travel argument.
std::int32_t AdvanceTravel();
