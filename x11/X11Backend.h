#pragma once

// The foreign-window backend: the program as an XScreenSaver hack, drawing
// on an X window that is not ours (the root window, XScreenSaver's window,
// a window named by id; see X11ForeignWindow.h). The window is attached,
// never made, shown, renamed or destroyed; the warning box is answered OK
// without being shown (error boxes go to stderr); keys are not read; the
// window's size changes become size messages; its destruction, SIGTERM and
// SIGINT become a close request, so the program ends as when its own window
// is closed, with exit code 0. When asked for, the rate's figures (the
// renderer hands them beside the title, RateFigures.h) are drawn on each frame, bottom left; else the
// title goes nowhere. Frames are paced by a sleep after each swap, so that
// each starts at most every delay microseconds after the previous one's
// start (HackPacing.h; 0: no wait). A destroyed window is seen after the
// wait.

#include <string>

struct ForeignX11Options {
    unsigned long windowId = 0;  // 0: the root window
    bool showRate = false;       // the rate drawn bottom left
    long delayMicroseconds = 0;  // from one frame's start to the next's, at least
};

// Checks the window and installs the backend; false, with a one-line
// reason, when the window cannot be drawn on.
bool StartForeignX11Backend(const ForeignX11Options& options, std::string* reason);
void StopForeignX11Backend();
