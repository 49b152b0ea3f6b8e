// Stands in for the Display control panel: a window whose handle it prints
// (decimal, one line on standard output) for the screensaver's /p preview.
// A key pressed in it destroys the window; the helper itself lives three
// seconds longer, so that the saver can only have learnt of the end from
// the window's destruction, not from the process going away. Twice a second
// it prints the title of the window drawn inside it ("child: TITLE"), where
// the saver's rate text shows.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>

namespace {

const char kClassName[] = "Preview parent";
constexpr UINT_PTR kTitleTimer = 1;

BOOL CALLBACK PrintChildTitle(HWND child, LPARAM)
{
    char title[256];
    if (GetWindowTextA(child, title, sizeof title) > 0) {
        std::printf("child: %s\n", title);
        std::fflush(stdout);
    }
    return TRUE;
}

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_KEYDOWN:
        DestroyWindow(window);
        return 0;
    case WM_TIMER:
        EnumChildWindows(window, PrintChildTitle, 0);
        return 0;
    case WM_DESTROY:
        SetTimer(nullptr, 0, 3000, nullptr);  // a thread timer: WM_TIMER without a window
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int main()
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ParentProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kClassName;
    if (RegisterClassA(&windowClass) == 0)
        return 1;
    RECT frame = {0, 0, 320, 240};  // the client area of a typical preview
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    HWND window = CreateWindowExA(0, kClassName, kClassName, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                  20, 20, frame.right - frame.left, frame.bottom - frame.top,
                                  nullptr, nullptr, instance, nullptr);
    if (window == nullptr)
        return 1;
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    SetTimer(window, kTitleTimer, 500, nullptr);
    std::printf("%llu\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
    std::fflush(stdout);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.hwnd == nullptr)
            break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
