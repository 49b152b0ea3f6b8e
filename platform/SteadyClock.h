#pragma once

// The standard library's steady clock in nanoseconds: the counter of
// backends without a high-resolution one of their own, and the frame
// clock's fallback where QueryPerformanceFrequency answers 0. Header-only,
// so that the Windows build, which has no window model, takes it too.

#include <chrono>
#include <cstdint>

constexpr std::int64_t kSteadyClockFrequency = 1000000000;

inline std::int64_t SteadyClockNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
