#pragma once

// The headless window backend: the window model with no window system. The
// window is only a size (the outer size asked for, without a frame); its GL
// context is a HeadlessGl pbuffer of that size, current from its creation;
// titles are kept and, when asked, printed; there is no input; message boxes
// answer OK without showing anything. For tunnel-render and the frame-rate
// benchmark.

#include "platform/Win32.h"

#include <string>

struct HeadlessOptions {
    bool printTitles = false;  // every title set as "title: TEXT" on standard output
};

// Installs the backend. It needs nothing outside the process until a
// context is made, so it always starts; the reason is for the shape every
// backend's start has.
bool StartHeadlessBackend(const HeadlessOptions& options, std::string* reason);
// Takes down the GL context, if any is left.
void StopHeadlessBackend();

// With the backend started: opens a window of this client size with its GL
// context current, through the Win32 calls; null, with the reason, when no
// context can be had. Messages go to DefWindowProcA.
HWND OpenHeadlessWindow(int width, int height, std::string* error);
