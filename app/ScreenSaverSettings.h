#pragma once

// The saver's Configure dialog (/c, /c:HWND, the .scr started alone): the
// viewer's look, read from and, on OK, written to the registry. Windows only.

#include "platform/Win32.h"

// Shows the dialog, owned by the given window (or none), until OK or
// Cancel; 0 when it closed, -1 when it could not be shown.
int ShowSaverSettings(HINSTANCE instance, HWND owner);
