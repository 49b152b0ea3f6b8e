#pragma once

// The arithmetic of the saver's frame pacing: at most one frame per display
// refresh. The Windows calls around it are in app/ScreenSaverPacing.

#include <cstdint>

// The refresh rate Windows reports for a display (GetDeviceCaps VREFRESH),
// with 0 and 1, "the hardware's default", read as 60 Hz.
int RefreshRateOrDefault(int reported);

// Counter ticks in one refresh period, rounded up so that frames that far
// apart never come faster than the rate.
std::int64_t TicksPerRefresh(std::int64_t counterFrequency, int refreshRate);

// Whole milliseconds to sleep from now until due, rounded up; 0 once due has
// come.
std::uint32_t MillisecondsUntil(std::int64_t now, std::int64_t due, std::int64_t counterFrequency);

// True when the space-separated extension list names exactly that extension.
bool ExtensionListed(const char* list, const char* name);
