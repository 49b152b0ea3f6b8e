#include "sdl/SdlInput.h"

WPARAM VirtualKeyForSdlKey(SDL_Keycode key)
{
    switch (key) {
    case SDLK_ESCAPE:
        return VK_ESCAPE;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return VK_RETURN;
    case SDLK_BACKSPACE:
        return VK_BACK;
    case SDLK_TAB:
        return VK_TAB;
    default:
        return 0;
    }
}

int CharacterCodesForText(const char* utf8, WPARAM* codes, int maxCodes)
{
    int count = 0;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(utf8);
    while (*p != 0 && count < maxCodes) {
        unsigned long codePoint = 0;
        int length = 0;
        if (p[0] < 0x80) {
            codePoint = p[0];
            length = 1;
        } else if ((p[0] & 0xE0) == 0xC0) {
            codePoint = p[0] & 0x1Fu;
            length = 2;
        } else if ((p[0] & 0xF0) == 0xE0) {
            codePoint = p[0] & 0x0Fu;
            length = 3;
        } else if ((p[0] & 0xF8) == 0xF0) {
            codePoint = p[0] & 0x07u;
            length = 4;
        } else {
            ++p;  // a stray continuation or invalid lead byte
            continue;
        }
        int i = 1;
        for (; i < length; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                break;
            codePoint = (codePoint << 6) | (p[i] & 0x3Fu);
        }
        if (i < length) {
            p += i;  // truncated sequence: skip what was read, resync on the next lead byte
            continue;
        }
        p += length;
        const bool overlong =
            (length == 2 && codePoint < 0x80) || (length > 2 && codePoint < 0x800);
        const bool control = codePoint < 0x20 || (codePoint >= 0x7F && codePoint < 0xA0);
        if (!overlong && !control && codePoint <= 0xFF)
            codes[count++] = static_cast<WPARAM>(codePoint);
    }
    return count;
}

SdlMessageBoxLayout MessageBoxLayoutFor(UINT type)
{
    SdlMessageBoxLayout layout{};
    if ((type & MB_TYPEMASK) == MB_OKCANCEL) {
        layout.buttons[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDOK, "OK"};
        layout.buttons[1] = {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDCANCEL, "Cancel"};
        layout.buttonCount = 2;
        layout.answerWhenClosed = IDCANCEL;
    } else {
        layout.buttons[0] = {
            SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK,
            "OK"};
        layout.buttonCount = 1;
        layout.answerWhenClosed = IDOK;
    }
    layout.flags = SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    switch (type & MB_ICONMASK) {
    case MB_ICONERROR:
        layout.flags |= SDL_MESSAGEBOX_ERROR;
        break;
    case MB_ICONWARNING:
        layout.flags |= SDL_MESSAGEBOX_WARNING;
        break;
    default:
        layout.flags |= SDL_MESSAGEBOX_INFORMATION;
        break;
    }
    return layout;
}

int MessageBoxAnswer(const SdlMessageBoxLayout& layout, int chosenButtonId)
{
    return chosenButtonId < 0 ? layout.answerWhenClosed : chosenButtonId;
}

std::string NoWindowSystemReason(const char* x11Display, const char* waylandDisplay)
{
    const bool x11 = x11Display != nullptr && *x11Display != '\0';
    const bool wayland = waylandDisplay != nullptr && *waylandDisplay != '\0';
    if (x11 && wayland)
        return std::string("neither the X display \"") + x11Display +
               "\" nor the Wayland display \"" + waylandDisplay + "\" answers";
    if (x11)
        return std::string("the X display \"") + x11Display + "\" does not answer";
    if (wayland)
        return std::string("the Wayland display \"") + waylandDisplay +
               "\" does not answer (DISPLAY is not set)";
    return "no display (DISPLAY is not set)";
}
