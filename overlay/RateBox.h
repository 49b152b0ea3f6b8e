#pragma once

// The rate's figures drawn over a finished frame, bottom left: a dark box
// and light text, the text's characters display lists made from a system
// font (glXUseXFont for the XScreenSaver hack, wglUseFontBitmaps for the
// Windows saver). Every GL state the drawing touches is put back.

struct RateBoxText {
    const char* text;
    int length;
    int width;   // in pixels, as the font measures the text
    int height;  // the font's ascent plus descent
    int descent;
    unsigned listBase;  // the display list that character code 0 would have
};

void DrawRateBox(const RateBoxText& text);

// Remakes a font's blank space as one unset pixel that moves the raster
// position by advance: the lists these fonts give the space are empty
// bitmaps, whose move Mesa skips, so the spaces of the rate vanished.
void MakeBlankSpaceList(unsigned list, int advance);
