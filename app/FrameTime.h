#pragma once

// The frame clock's arithmetic, apart from reading the counter (FrameClock.h):
// g_time is the time since the clock started, g_deltaTime the time from the
// previous frame's (rounded) g_time to this frame's exact time. It needs no
// window and no GL.

#include "platform/Win32Types.h"

extern LONGLONG g_counterFrequency;  // ticks per second
extern LONGLONG g_counterStart;      // count at the clock's start (moves forward on long runs)
extern LONGLONG g_counterNow;        // count sampled for the current frame

// A float g_time loses resolution as it grows; once the time reaches
// kRebaseAfterSeconds, the clock's start moves forward by whole multiples of
// kRebaseStepSeconds, and g_time and g_lastRateTime move back by the same
// whole seconds, so deltas keep the resolution of the first half hour.
constexpr LONGLONG kRebaseAfterSeconds = 2048;
constexpr LONGLONG kRebaseStepSeconds = 1024;

// The arithmetic of one frame from g_counterNow, g_counterStart and
// g_counterFrequency: sets g_time and g_deltaTime.
void UpdateFrameTime();
