#pragma once

#include "platform/Win32.h"

// The pixel-format request: a double-buffered RGBA window format with no
// depth, stencil or accumulation buffers. Its colour depth is taken from the
// device at the first SetupPixelFormat call and kept from then on.
extern PIXELFORMATDESCRIPTOR g_pixelFormatRequest;
extern bool g_pixelFormatRequestFilled;

// Chooses the format closest to the request and sets it on the device
// context; reports the choice on the debug output. False when no format
// could be set (none offered: no GL driver).
bool SetupPixelFormat(HDC deviceContext);
