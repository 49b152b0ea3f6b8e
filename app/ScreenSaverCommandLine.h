#pragma once

// What Windows asks of a .scr through its command line:
//   /s            run full screen
//   /p HWND       draw a preview inside that window (also /p:HWND)
//   /c, /c:HWND   show the settings, owned by that window if given
// The letter may be upper or lower case and follow '-' instead of '/'; the
// handle is decimal, as Windows writes it (0x-hexadecimal is accepted too);
// a missing or unreadable one counts as 0, no window. Any other line, an
// empty one included, asks for no saver at all.
//
// One more line is the saver's own: the full-screen saver runs one process
// per monitor, and starts the others with
//   /s LEFT TOP WIDTH HEIGHT END-SIGNAL STARTER
// (decimal: the monitor's rectangle in screen pixels, then two handles it
// inherits: the event any of them sets to end them all, and the starting
// process, whose end ends them too).

#include <cstddef>
#include <cstdint>

enum class ScreenSaverMode { kNone, kFullScreen, kOneMonitor, kPreview, kSettings };

// One monitor of a full-screen saver, as its starter hands it over.
struct MonitorShare {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::uintptr_t endSignal = 0;
    std::uintptr_t starter = 0;
};

struct ScreenSaverRequest {
    ScreenSaverMode mode = ScreenSaverMode::kNone;
    std::uintptr_t window = 0;  // the handle given with /p or /c, 0 when none
    MonitorShare share;         // with kOneMonitor only
};

ScreenSaverRequest ParseScreenSaverCommandLine(const char* commandLine);

// As above, for a program whose own file is at programPath: Windows runs a
// .scr with no argument at all for "Configure" in its context menu, so a
// blank line there asks for the settings (a .exe so started stays the
// plain program).
ScreenSaverRequest ScreenSaverRequestFor(const char* commandLine, const char* programPath);

// True when the path's last name ends in ".scr", in any case.
bool IsScreenSaverFileName(const char* path);

// Writes the arguments that start the saver on that monitor (the line
// ParseScreenSaverCommandLine reads as kOneMonitor); false when they do not
// fit in the buffer.
bool FormatMonitorShareArguments(const MonitorShare& share, char* buffer, std::size_t size);
