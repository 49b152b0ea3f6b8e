#include "app/WndProc.h"

#include "app/FrameClock.h"
#include "app/PixelFormat.h"
#include "app/MessageLoop.h"
#include "effect/EffectRenderer.h"
#include "effect/EffectState.h"

HDC g_deviceContext = nullptr;
HGLRC g_renderContext = nullptr;

void ResizeViewport(int width, int height)
{
    glViewport(0, 0, width, height == 0 ? 1 : height);
}

LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        g_deviceContext = GetDC(window);
        SetupPixelFormat(g_deviceContext);
        g_renderContext = wglCreateContext(g_deviceContext);
        wglMakeCurrent(g_deviceContext, g_renderContext);
        return 0;
    case WM_DESTROY:
        wglMakeCurrent(g_deviceContext, nullptr);
        wglDeleteContext(g_renderContext);
        PostQuitMessage(0);
        return 0;
    case WM_SIZE:
        g_clientWidth = LOWORD(lParam);
        g_clientHeight = HIWORD(lParam);
        ResizeViewport(g_clientWidth, g_clientHeight);
        return 0;
    case WM_PAINT:
        // Before the loop runs the window stays invalid, so the first paint
        // after start-up draws at once.
        if (g_running) {
            AdvanceFrameClock();
            RenderFrame();
            SwapBuffers(g_deviceContext);
            ValidateRect(window, nullptr);
        }
        return 0;
    case WM_CHAR:
        HandleKey(wParam);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
