#include "x11/X11RateOverlay.h"

#include "platform/ReportError.h"
#include "x11/X11Errors.h"

#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr int kMargin = 8;   // from the window's edges to the box
constexpr int kPadding = 4;  // from the box's edges to the text

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
    // The blank space's list is an empty bitmap, whose move Mesa skips, so
    // the spaces of "fps (N tri)" vanished: ours draws one unset pixel and
    // moves by the font's own width.
    static const GLubyte kBlank[4] = {};
    glNewList(base + ' ', GL_COMPILE);
    glBitmap(1, 1, 0.0f, 0.0f, static_cast<GLfloat>(XTextWidth(font, " ", 1)), 0.0f, kBlank);
    glEndList();
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
    const int boxWidth = textWidth + 2 * kPadding;
    const int boxHeight = font->ascent + font->descent + 2 * kPadding;

    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, viewport[2], 0.0, viewport[3], -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glColor3f(0.08f, 0.08f, 0.1f);
    glRecti(kMargin, kMargin, kMargin + boxWidth, kMargin + boxHeight);
    // The raster colour is taken at glRasterPos.
    glColor3f(1.0f, 1.0f, 0.9f);
    glRasterPos2i(kMargin + kPadding, kMargin + kPadding + font->descent);
    glListBase(overlay->listBase);
    glCallLists(length, GL_UNSIGNED_BYTE, text);

    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();  // the matrix mode, capabilities, colours and list base
}

void ForgetRateOverlay(X11ForeignWindow* foreign, X11RateOverlay* overlay)
{
    if (overlay->font != nullptr && foreign->display != nullptr)
        XFreeFont(static_cast<Display*>(foreign->display),
                  static_cast<XFontStruct*>(overlay->font));
    *overlay = X11RateOverlay{};
}
