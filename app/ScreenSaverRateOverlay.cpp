#include "app/ScreenSaverRateOverlay.h"

#include "overlay/RateBox.h"

#include <GL/gl.h>

#include <cstring>

namespace {

// The printable ASCII characters, which are all a rate text holds.
constexpr int kFirstCharacter = 32;
constexpr int kCharacterCount = 95;

struct RateFont {
    HFONT font = nullptr;
    int pixelHeight = 0;
    GLuint listBase = 0;
    int descent = 0;
    int characterHeight = 0;
};

RateFont g_rateFont;

// About a fortieth of the window's height, 13 pixels at least: the small
// preview's text stays readable.
int PixelHeightFor(int height)
{
    const int wanted = height / 40;
    return wanted < 13 ? 13 : wanted;
}

bool MakeFont(HDC deviceContext, int pixelHeight)
{
    HFONT font = CreateFontA(-pixelHeight, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                             FIXED_PITCH | FF_MODERN, "Courier New");
    if (font == nullptr)
        return false;
    const GLuint base = glGenLists(kCharacterCount);
    if (base == 0) {
        DeleteObject(font);
        return false;
    }
    HGDIOBJ previous = SelectObject(deviceContext, font);
    TEXTMETRICA metrics = {};
    const bool made = GetTextMetricsA(deviceContext, &metrics) &&
                      wglUseFontBitmapsA(deviceContext, kFirstCharacter, kCharacterCount, base);
    // Wine's space over Mesa has no advance (see MakeBlankSpaceList).
    INT spaceWidth = 0;
    const bool spaced = made && GetCharWidth32A(deviceContext, ' ', ' ', &spaceWidth);
    SelectObject(deviceContext, previous);
    if (spaced)
        MakeBlankSpaceList(base + (' ' - kFirstCharacter), spaceWidth);
    if (!made || !spaced) {
        glDeleteLists(base, kCharacterCount);
        DeleteObject(font);
        return false;
    }
    g_rateFont.font = font;
    g_rateFont.pixelHeight = pixelHeight;
    g_rateFont.listBase = base;
    g_rateFont.descent = metrics.tmDescent;
    g_rateFont.characterHeight = metrics.tmHeight;
    return true;
}

// Keeps the font fitted to the window's height; false when none is made.
bool FitFont(HDC deviceContext, int height)
{
    const int pixelHeight = PixelHeightFor(height);
    if (g_rateFont.font != nullptr && g_rateFont.pixelHeight == pixelHeight)
        return true;
    ForgetSaverRate();
    return MakeFont(deviceContext, pixelHeight);
}

// Leaves only the printable characters, which have display lists.
void KeepPrintable(const char* text, char* printable, std::size_t size)
{
    std::size_t length = 0;
    for (; *text != '\0' && length + 1 < size; ++text) {
        if (*text >= kFirstCharacter && *text < kFirstCharacter + kCharacterCount)
            printable[length++] = *text;
    }
    printable[length] = '\0';
}

}  // namespace

void DrawSaverRate(HDC deviceContext, int height, const char* text)
{
    if (!FitFont(deviceContext, height))
        return;
    char printable[128];
    KeepPrintable(text, printable, sizeof printable);
    const int length = static_cast<int>(std::strlen(printable));
    HGDIOBJ previous = SelectObject(deviceContext, g_rateFont.font);
    SIZE extent = {};
    GetTextExtentPoint32A(deviceContext, printable, length, &extent);
    SelectObject(deviceContext, previous);
    DrawRateBox({printable, length, static_cast<int>(extent.cx), g_rateFont.characterHeight,
                 g_rateFont.descent, g_rateFont.listBase - kFirstCharacter});
}

void ForgetSaverRate()
{
    if (g_rateFont.listBase != 0)
        glDeleteLists(g_rateFont.listBase, kCharacterCount);
    if (g_rateFont.font != nullptr)
        DeleteObject(g_rateFont.font);
    g_rateFont = RateFont{};
}
