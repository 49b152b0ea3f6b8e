#pragma once

// The pure parts of the SDL2 window layer, kept apart so tests can check them
// without a display: keys and text to Windows character codes, and the
// Windows frame that the outer window size includes.

#include "platform/Win32.h"

#include <SDL.h>

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

// The client size Windows would give an overlapped window of this outer size
// (a 4-pixel sizing frame and a 26-pixel caption: 640 x 480 gives 632 x 446),
// at least 1 x 1.
void ClientSizeForOuterSize(int outerWidth, int outerHeight, int* clientWidth, int* clientHeight);
