#pragma once

// Start-up and message loop. WinMain itself is declared by the window layer.

#include "effect/EffectState.h"
#include "platform/Win32.h"

// True while the message loop runs; paint messages draw only then.
extern bool g_running;

// kWindowTitle (effect/EffectState.h) is also the class name and the
// warning's caption.
// The warning and key-usage text: eleven lines, each ended by a line feed.
extern const char kWarningText[];
extern const char kFatalCaption[];
extern const char kRegisterClassFailedText[];
extern const char kCreateWindowFailedText[];
extern const char kInitEffectFailedText[];

// Shows the warning box; true exactly when the user chose OK.
bool ShowWarning();

// Shows the created window, starts the clock, sets the effect up and runs the
// message loop until the quit message; returns its exit code (0 as well when
// set-up fails, after the fatal box). g_hwnd must already name the window.
int RunEffectWindow(HWND window);
