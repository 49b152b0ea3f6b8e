#pragma once

// The frame clock: reads the high-resolution counter into the counts that
// the arithmetic in FrameTime.h turns into g_time and g_deltaTime.

#include "app/FrameTime.h"
#include "platform/SteadyClock.h"
#include "platform/Win32.h"

// Without a high-resolution counter (frequency 0) the clock reads the
// standard library's steady clock in nanoseconds instead.
constexpr LONGLONG kFallbackCounterFrequency = kSteadyClockFrequency;

// Reads the counter frequency and the start count.
void StartFrameClock();

// Samples the counter into g_counterNow and updates the time (paint message).
void AdvanceFrameClock();
