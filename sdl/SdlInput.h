#pragma once

// The pure parts of the SDL2 window backend, kept apart so tests can check
// them without a display: keys and text to Windows character codes, the
// Windows frame that the outer window size includes, message-box buttons and
// the reason given when no window system answers.

#include "platform/Win32.h"

#include <SDL.h>

#include <string>

// The virtual key whose key-down TranslateMessage turns into a character, for
// the keys that never arrive as text input (Escape, Return, Backspace, Tab);
// 0 for every other key, whose characters come as text input only. Keypad "+"
// arrives both ways, so it must map to 0 here to count once.
WPARAM VirtualKeyForSdlKey(SDL_Keycode key);

// Decodes UTF-8 text input into the character codes an ANSI window gets:
// code points up to 0xFF (Latin-1, C0 and C1 controls left out), one per
// character, at most maxCodes of them; returns how many were written.
// Malformed bytes and characters outside Latin-1 are skipped.
int CharacterCodesForText(const char* utf8, WPARAM* codes, int maxCodes);

// An SDL box for a MessageBoxA type: OK, or OK and Cancel, left to right,
// Return choosing OK and Escape the last button; the icon as SDL flags.
struct SdlMessageBoxLayout {
    Uint32 flags;
    int buttonCount;
    SDL_MessageBoxButtonData buttons[2];
    int answerWhenClosed;  // closing the box answers as Escape does
};
SdlMessageBoxLayout MessageBoxLayoutFor(UINT type);
// MessageBoxA's answer for SDL's chosen button id (-1: the box was closed).
int MessageBoxAnswer(const SdlMessageBoxLayout& layout, int chosenButtonId);

// Why neither X11 nor Wayland could be started, from the two variables that
// name their displays (null when unset).
std::string NoWindowSystemReason(const char* x11Display, const char* waylandDisplay);
