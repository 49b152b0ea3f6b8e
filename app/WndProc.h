#pragma once

// The effect window's procedure and the rendering context it owns.

#include "platform/Win32.h"

extern HDC g_deviceContext;    // the window's own device context, never released
extern HGLRC g_renderContext;  // current on g_deviceContext from creation to destruction

LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Sets the GL viewport to the whole client area; a height of 0 becomes 1 here
// only, so the viewport is never empty.
void ResizeViewport(int width, int height);
