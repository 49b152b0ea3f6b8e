#pragma once

// The effect's window at work: shown, the effect set up, messages dispatched
// and frames drawn until the quit message. WinMain and the screensaver both
// end here.

#include "platform/Win32.h"

// True while the message loop runs; paint messages draw only then.
extern bool g_running;

// The caption of every box that ends the program, and the text of the one
// shown when the effect cannot be set up.
extern const char kFatalCaption[];
extern const char kInitEffectFailedText[];

// Shows the created window, starts the clock, sets the effect up and runs the
// message loop until the quit message; returns its exit code (0 as well when
// set-up fails, after the fatal box). g_hwnd must already name the window.
int RunEffectWindow(HWND window);
