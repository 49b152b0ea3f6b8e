#pragma once

// The arithmetic of the hack's frame pacing, on a monotonic clock in
// nanoseconds. Each frame starts at most every delay after the previous
// frame's start, so the drawing time is part of the delay (XScreenSaver's
// own screenhack instead sleeps the whole delay after each frame, and a
// slow frame makes its rate lower still). A frame that comes late (a slow
// frame, a SIGSTOP) starts the count anew instead of being caught up with
// a burst. The sleep itself is in X11Backend.cpp.

#include <cstdint>

struct HackPacing {
    std::int64_t delayNanoseconds = 0;  // 0: no wait
    std::int64_t frameStart = 0;        // when the last frame started
    bool started = false;               // else no frame has started yet
};

HackPacing HackPacingFor(long delayMicroseconds);

// When the next frame may start: no earlier than now (then it starts at once).
std::int64_t NextFrameStart(const HackPacing& pacing, std::int64_t now);

// A frame starts now.
void StartHackFrame(HackPacing* pacing, std::int64_t now);
