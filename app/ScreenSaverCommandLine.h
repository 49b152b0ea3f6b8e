#pragma once

// What Windows asks of a .scr through its command line:
//   /s            run full screen
//   /p HWND       draw a preview inside that window (also /p:HWND)
//   /c, /c:HWND   show the settings, owned by that window if given
// The letter may be upper or lower case and follow '-' instead of '/'; the
// handle is decimal, as Windows writes it (0x-hexadecimal is accepted too);
// a missing or unreadable one counts as 0, no window. Any other line, an
// empty one included, asks for no saver at all.

#include <cstdint>

enum class ScreenSaverMode { kNone, kFullScreen, kPreview, kSettings };

struct ScreenSaverRequest {
    ScreenSaverMode mode = ScreenSaverMode::kNone;
    std::uintptr_t window = 0;  // the handle given with /p or /c, 0 when none
};

ScreenSaverRequest ParseScreenSaverCommandLine(const char* commandLine);
