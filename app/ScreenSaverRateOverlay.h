#pragma once

// The title's figures drawn on the saver's own picture, as the XScreenSaver
// hack draws its rate (x11/X11RateOverlay.*): one line of light text on a
// dark box in the bottom-left corner, in a GDI font made GL bitmaps with
// wglUseFontBitmaps, larger on a larger window. Every piece of GL state is
// put back, so the picture outside the box is what it would be without it.
// Windows only.

#include "platform/Win32.h"

// Draws the text over the current frame, before its swap; needs the
// window's context current on that device context. Without a usable font
// it draws nothing.
void DrawSaverRate(HDC deviceContext, int height, const char* text);

// Lets go of the font and its display lists, with the context still current.
void ForgetSaverRate();
