#include "x11/X11RateOverlay.h"

#include "overlay/RateBox.h"
#include "platform/ReportError.h"
#include "x11/X11Errors.h"

#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstring>

namespace {

// The font for a window this tall: about a fortieth of its height, from
// 13 pixels in the small preview up; "fixed" is in every X server.
const char* FontNameFor(int height)
{
    if (height < 480)
        return "7x13bold";
    if (height < 800)
        return "9x15bold";
    if (height < 1400)
        return "10x20";
    return "12x24";
}

bool LoadFont(X11ForeignWindow* foreign, X11RateOverlay* overlay, const char* name)
{
    Display* display = static_cast<Display*>(foreign->display);
    XFontStruct* font = XLoadQueryFont(display, name);
    if (font == nullptr)
        return false;
    const GLuint base = glGenLists(256);
    if (base == 0) {
        XFreeFont(display, font);
        return false;
    }
    StartKeepingX11Errors();
    glXUseXFont(font->fid, 0, 256, static_cast<int>(base));
    const X11KeptError kept = StopKeepingX11Errors(display);
    if (!kept.text.empty()) {
        ReportError(kForeignX11Name, "glXUseXFont: %s", kept.text.c_str());
        glDeleteLists(base, 256);
        XFreeFont(display, font);
        return false;
    }
    MakeBlankSpaceList(base + ' ', XTextWidth(font, " ", 1));
    overlay->font = font;
    overlay->fontName = name;
    overlay->listBase = base;
    return true;
}

// Keeps the font fitted to the window's height; false when none loads.
bool FitFont(X11ForeignWindow* foreign, X11RateOverlay* overlay)
{
    const char* wanted = FontNameFor(foreign->height);
    if (overlay->font != nullptr && std::strcmp(overlay->fontName, wanted) == 0)
        return true;
    if (overlay->font != nullptr) {
        glDeleteLists(overlay->listBase, 256);
        ForgetRateOverlay(foreign, overlay);
    }
    return LoadFont(foreign, overlay, wanted) || LoadFont(foreign, overlay, "fixed");
}

}  // namespace

void DrawRateOverlay(X11ForeignWindow* foreign, X11RateOverlay* overlay, const RateFigures& figures)
{
    if (!FitFont(foreign, overlay))
        return;
    char text[64];
    std::snprintf(text, sizeof text, "%g fps (%d tri)", figures.framesPerSecond, figures.triangles);
    XFontStruct* font = static_cast<XFontStruct*>(overlay->font);
    const int length = static_cast<int>(std::strlen(text));
    const int textWidth = XTextWidth(font, text, length);
    DrawRateBox(
        {text, length, textWidth, font->ascent + font->descent, font->descent, overlay->listBase});
}

void ForgetRateOverlay(X11ForeignWindow* foreign, X11RateOverlay* overlay)
{
    if (overlay->font != nullptr && foreign->display != nullptr)
        XFreeFont(static_cast<Display*>(foreign->display),
                  static_cast<XFontStruct*>(overlay->font));
    *overlay = X11RateOverlay{};
}
