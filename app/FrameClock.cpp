#include "app/FrameClock.h"

#include "platform/SteadyClock.h"

namespace {

bool g_usingFallbackClock = false;

LONGLONG ReadCounter()
{
    if (g_usingFallbackClock)
        return SteadyClockNanoseconds();
    LARGE_INTEGER count;
    count.QuadPart = 0;
    QueryPerformanceCounter(&count);
    return count.QuadPart;
}

}  // namespace

void StartFrameClock()
{
    LARGE_INTEGER frequency;
    frequency.QuadPart = 0;
    QueryPerformanceFrequency(&frequency);
    g_counterFrequency = frequency.QuadPart;
    g_usingFallbackClock = g_counterFrequency <= 0;
    if (g_usingFallbackClock)
        g_counterFrequency = kFallbackCounterFrequency;
    g_counterStart = ReadCounter();
}

void AdvanceFrameClock()
{
    g_counterNow = ReadCounter();
    UpdateFrameTime();
}
