#pragma once

// The foreign-window backend: the program as an XScreenSaver hack, drawing
// on an X window that is not ours (the root window, XScreenSaver's window,
// a window named by id; see X11ForeignWindow.h). The window is attached,
// never made, shown, renamed or destroyed; the warning box is answered OK
// without being shown (error boxes go to stderr); keys are not read; the
// window's size changes become size messages; its destruction, SIGTERM and
// SIGINT become a close request, so the program ends as when its own window
// is closed, with exit code 0. When asked for, the figures of the rate text
// that would be the title are drawn on each frame, bottom left; else the
// title goes nowhere. Frames are paced by a sleep after each swap, as
// XScreenSaver's hacks pace theirs: each starts at most every delay
// microseconds (0: no wait). A destroyed window is seen after the wait.

#include <string>

// Checks the window (0: the root window) and installs the backend; false,
// with a one-line reason, when the window cannot be drawn on.
bool StartForeignX11Backend(unsigned long windowId, bool showRate, long delayMicroseconds,
                            std::string* reason);
void StopForeignX11Backend();
