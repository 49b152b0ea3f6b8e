#include "app/MessageLoop.h"

#include "app/FrameClock.h"
#include "effect/EffectRenderer.h"
#include "look/LookSettings.h"

bool g_running = false;

const char kFatalCaption[] = "Fatal Blow";
const char kInitEffectFailedText[] = "Failed to initialize the visual effect.";

int RunEffectWindow(HWND window)
{
    // Showing sends the client size first; this paint draws nothing yet.
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);

    StartFrameClock();
    if (!InitEffect()) {
        MessageBoxA(window, kInitEffectFailedText, kFatalCaption, MB_ICONERROR);
        return 0;
    }
    g_running = true;

    // The viewer's look, typed: queued ahead of the first paint, which comes
    // only once the queue is empty, so the first frame already wears it.
    for (const char key : LookKeys(g_look))
        PostMessageA(window, WM_CHAR, static_cast<unsigned char>(key), 1);

    // A cleared record is not WM_QUIT, so the loop is entered even when the
    // priming peek finds nothing.
    MSG msg = {};
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    while (msg.message != WM_QUIT) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        } else {
            InvalidateRect(window, nullptr, FALSE);
        }
    }

    g_running = false;
    ShutdownEffect();
    return static_cast<int>(msg.wParam);
}
