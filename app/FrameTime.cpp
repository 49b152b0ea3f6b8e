#include "app/FrameTime.h"

#include "effect/EffectState.h"

#include <cstdint>
#include <limits>

LONGLONG g_counterFrequency = 0;
LONGLONG g_counterStart = 0;
LONGLONG g_counterNow = 0;

namespace {

// now - start in 64-bit two's complement, without undefined behaviour should
// a broken counter ever jump by more than half its range.
LONGLONG CounterDifference(LONGLONG now, LONGLONG start)
{
    return static_cast<LONGLONG>(static_cast<std::uint64_t>(now) -
                                 static_cast<std::uint64_t>(start));
}

// Keeps the counted time below kRebaseAfterSeconds, where a float still
// resolves 2^-13 s. Whole seconds move from the time values into the start
// count; the shift is a multiple of 1024 s, so the shifted floats stay exact
// and every difference between them (rate periods) is unchanged.
void RebaseLongRun()
{
    if (g_counterFrequency > std::numeric_limits<LONGLONG>::max() / kRebaseAfterSeconds)
        return;
    const LONGLONG ticks = CounterDifference(g_counterNow, g_counterStart);
    if (ticks < kRebaseAfterSeconds * g_counterFrequency)
        return;
    const LONGLONG stepTicks = kRebaseStepSeconds * g_counterFrequency;
    const LONGLONG steps = ticks / stepTicks - 1;  // leaves 1024 s to 2048 s
    g_counterStart += steps * stepTicks;
    const double shiftSeconds =
        static_cast<double>(steps) * static_cast<double>(kRebaseStepSeconds);
    g_time = static_cast<float>(static_cast<double>(g_time) - shiftSeconds);
    if (g_lastRateTimeSet)
        g_lastRateTime = static_cast<float>(static_cast<double>(g_lastRateTime) - shiftSeconds);
}

}  // namespace

void UpdateFrameTime()
{
    if (g_counterFrequency <= 0) {
        // The clock was never started: no time passes rather than a division by zero.
        g_deltaTime = 0.0f;
        return;
    }
    RebaseLongRun();
    const float previous = g_time;
    const LONGLONG ticks = CounterDifference(g_counterNow, g_counterStart);
    const double t = static_cast<double>(ticks) / static_cast<double>(g_counterFrequency);
    g_time = static_cast<float>(t);
    double delta = t - static_cast<double>(previous);
    // The previous time was rounded, possibly upwards: a counter that barely
    // moved (or a clock that stepped back) must not move the effect backwards.
    if (delta < 0.0)
        delta = 0.0;
    g_deltaTime = static_cast<float>(delta);
}
