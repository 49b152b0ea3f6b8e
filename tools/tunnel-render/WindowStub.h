#pragma once

// The two window calls the renderer makes (SetWindowTextA, PostMessageA),
// answered without a window: the title is kept, and printed when asked; a
// close request is noted. Nothing is allocated.

void WindowStubPrintTitles(bool print);
const char* WindowStubTitle();  // the last title set, "" before the first
bool WindowStubCloseRequested();
void WindowStubReset();
