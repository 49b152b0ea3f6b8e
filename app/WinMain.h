#pragma once

// Start-up: the warning, the class and the window, then the message loop
// (MessageLoop.h). WinMain itself is declared by the window layer.

#include "effect/EffectState.h"
#include "platform/Win32.h"

// kWindowTitle (effect/EffectState.h) is also the class name and the
// warning's caption.
// The warning and key-usage text: eleven lines, each ended by a line feed.
extern const char kWarningText[];
extern const char kRegisterClassFailedText[];
extern const char kCreateWindowFailedText[];

// Shows the warning box; true exactly when the user chose OK.
bool ShowWarning();
