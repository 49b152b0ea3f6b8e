#pragma once

// Paced frames for the saver modes (full screen and preview): Windows users
// run a saver for hours, so it draws at most one frame per display refresh
// instead of as fast as it can. Windows only; the plain program keeps its
// free-running loop.

#include "platform/Win32.h"

// Once the window's rendering context is current: asks the driver to wait
// for the vertical blank (WGL_EXT_swap_control) where it offers that, and
// reads the display's refresh rate. Raises the system timer's resolution
// until StopSaverPacing, so that short sleeps keep their length.
void StartSaverPacing(HDC deviceContext);

// Before a frame: sleeps until a whole refresh period has passed since the
// last frame came back from its buffer swap. Drivers that take the swap
// interval but have no vertical blank to wait for (Wine on Xvfb or Xephyr)
// would otherwise let frames through as fast as ever.
void WaitForNextRefresh();

// After a frame's buffer swap.
void NoteFrameShown();

void StopSaverPacing();
