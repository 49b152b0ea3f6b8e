#pragma once

// The frame clock: g_time is the time since the clock started, g_deltaTime
// the time from the previous frame's (rounded) g_time to this frame's exact
// time, both from the high-resolution counter.

#include "platform/Win32.h"

extern LONGLONG g_counterFrequency; // ticks per second
extern LONGLONG g_counterStart;     // count at the clock's start (moves forward on long runs)
extern LONGLONG g_counterNow;       // count sampled for the current frame

// Without a high-resolution counter (frequency 0) the clock reads the
// standard library's steady clock in nanoseconds instead.
constexpr LONGLONG kFallbackCounterFrequency = 1000000000;

// A float g_time loses resolution as it grows; once the time reaches
// kRebaseAfterSeconds, the clock's start moves forward by whole multiples of
// kRebaseStepSeconds, and g_time and g_lastRateTime move back by the same
// whole seconds, so deltas keep the resolution of the first half hour.
constexpr LONGLONG kRebaseAfterSeconds = 2048;
constexpr LONGLONG kRebaseStepSeconds = 1024;

// Reads the counter frequency and the start count.
void StartFrameClock();

// Samples the counter into g_counterNow and updates the time (paint message).
void AdvanceFrameClock();

// The arithmetic of one frame from g_counterNow, g_counterStart and
// g_counterFrequency: sets g_time and g_deltaTime.
void UpdateFrameTime();
