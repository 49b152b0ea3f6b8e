#include "app/PixelFormat.h"

#include "app/DebugPrintf.h"

// The record reads field by field, the trailing zeros as one run.
// clang-format off
PIXELFORMATDESCRIPTOR g_pixelFormatRequest = {
    40,  // nSize
    1,   // nVersion
    PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER | PFD_DEPTH_DONTCARE,
    PFD_TYPE_RGBA,
    // From the colour depth on, filled at the first call.
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
};
// clang-format on
bool g_pixelFormatRequestFilled = false;

bool SetupPixelFormat(HDC deviceContext)
{
    if (!g_pixelFormatRequestFilled) {
        g_pixelFormatRequestFilled = true;
        g_pixelFormatRequest.cColorBits =
            static_cast<BYTE>(GetDeviceCaps(deviceContext, BITSPIXEL));
        // Everything after the colour depth: no colour-channel, alpha,
        // accumulation, depth, stencil or auxiliary buffers asked for, main plane.
        g_pixelFormatRequest.cRedBits = 0;
        g_pixelFormatRequest.cRedShift = 0;
        g_pixelFormatRequest.cGreenBits = 0;
        g_pixelFormatRequest.cGreenShift = 0;
        g_pixelFormatRequest.cBlueBits = 0;
        g_pixelFormatRequest.cBlueShift = 0;
        g_pixelFormatRequest.cAlphaBits = 0;
        g_pixelFormatRequest.cAlphaShift = 0;
        g_pixelFormatRequest.cAccumBits = 0;
        g_pixelFormatRequest.cAccumRedBits = 0;
        g_pixelFormatRequest.cAccumGreenBits = 0;
        g_pixelFormatRequest.cAccumBlueBits = 0;
        g_pixelFormatRequest.cAccumAlphaBits = 0;
        g_pixelFormatRequest.cDepthBits = 0;
        g_pixelFormatRequest.cStencilBits = 0;
        g_pixelFormatRequest.cAuxBuffers = 0;
        g_pixelFormatRequest.iLayerType = PFD_MAIN_PLANE;
        g_pixelFormatRequest.bReserved = 0;
        g_pixelFormatRequest.dwLayerMask = 0;
        g_pixelFormatRequest.dwVisibleMask = 0;
        g_pixelFormatRequest.dwDamageMask = 0;
    }
    const int format = ChoosePixelFormat(deviceContext, &g_pixelFormatRequest);
    DebugPrintf("PixelFormat Selected: %d\nBPP: %d\n", format,
                GetDeviceCaps(deviceContext, BITSPIXEL));
    return SetPixelFormat(deviceContext, format, &g_pixelFormatRequest) != FALSE;
}
