#pragma once

// The rate drawn on the picture, as XScreenSaver's hacks show theirs: one
// line of light text on a dark box in the bottom-left corner, in one of the
// X server's fixed fonts (made GL bitmaps with glXUseXFont), larger on a
// larger window. Drawing leaves every piece of GL state as it found it, so
// the picture outside the box is what it would be without the overlay.

#include "platform/RateFigures.h"
#include "x11/X11ForeignWindow.h"

struct X11RateOverlay {
    void* font = nullptr;  // XFontStruct*, null until first drawn
    const char* fontName = nullptr;
    unsigned int listBase = 0;  // display lists of characters 0 to 255
};

// Draws the figures, as the title shows them ("30 fps (3584 tri)"), over the
// current frame of the window, before it is shown; needs the window's
// context current. Without any usable font it draws nothing.
void DrawRateOverlay(X11ForeignWindow* foreign, X11RateOverlay* overlay,
                     const RateFigures& figures);

// Frees the font; the display lists go with the context they were made in.
void ForgetRateOverlay(X11ForeignWindow* foreign, X11RateOverlay* overlay);
