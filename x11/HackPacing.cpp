#include "x11/HackPacing.h"

#include <algorithm>

HackPacing HackPacingFor(long delayMicroseconds)
{
    // Past a century, as long as forever: no overflow below.
    constexpr std::int64_t kLongest = 100LL * 365 * 24 * 3600 * 1000000;
    HackPacing pacing;
    pacing.delayNanoseconds =
        std::clamp(static_cast<std::int64_t>(delayMicroseconds), std::int64_t{0}, kLongest) * 1000;
    return pacing;
}

std::int64_t NextFrameStart(const HackPacing& pacing, std::int64_t now)
{
    if (!pacing.started || pacing.delayNanoseconds == 0)
        return now;
    return std::max(now, pacing.frameStart + pacing.delayNanoseconds);
}

void StartHackFrame(HackPacing* pacing, std::int64_t now)
{
    pacing->frameStart = now;
    pacing->started = true;
}
