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
        g_renderContext =
            SetupPixelFormat(g_deviceContext) ? wglCreateContext(g_deviceContext) : nullptr;
        if (g_renderContext == nullptr || !wglMakeCurrent(g_deviceContext, g_renderContext)) {
            // No GL on this window: its creation fails, and WinMain says so.
            if (g_renderContext != nullptr)
                wglDeleteContext(g_renderContext);
            g_renderContext = nullptr;
            return -1;
        }
        return 0;
    case WM_DESTROY:
        // After a failed creation there is no context to let go, and no loop
        // to end: a quit message now would close WinMain's box at once.
        if (g_renderContext == nullptr)
            return 0;
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
