#include "app/ScreenSaver.h"

#include <cstdlib>
#include <cstring>

#include "app/MessageLoop.h"
#include "app/ScreenSaverMonitors.h"
#include "app/ScreenSaverPacing.h"
#include "app/WndProc.h"
#include "effect/EffectState.h"

const char kNothingToSetText[] = "There is nothing to set: the tunnel has no options.";

namespace {

// A hand resting on the mouse moves it a little; only a larger move ends
// the full-screen saver.
constexpr int kMouseSlackPixels = 4;

bool g_fullScreen = false;
RECT g_screenArea = {};  // in full screen: this process's monitor
HWND g_previewParent = nullptr;
bool g_mouseSeen = false;
POINT g_mouseStart = {};

void EndSaver(HWND window)
{
    EndOtherMonitors();
    PostMessageA(window, WM_CLOSE, 0, 0);
}

bool MovedBeyondSlack(LPARAM position)
{
    const POINT point = {static_cast<short>(LOWORD(position)),
                         static_cast<short>(HIWORD(position))};
    if (!g_mouseSeen) {
        // Windows sends a move when the window appears under the cursor.
        g_mouseSeen = true;
        g_mouseStart = point;
        return false;
    }
    return std::abs(point.x - g_mouseStart.x) > kMouseSlackPixels ||
           std::abs(point.y - g_mouseStart.y) > kMouseSlackPixels;
}

// The effect's own procedure with the saver's input on top: in full screen
// any key, button or real mouse move ends it; the effect's keys never apply.
LRESULT CALLBACK ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        const LRESULT created = WndProc(window, message, wParam, lParam);
        StartSaverPacing(g_deviceContext);
        return created;
    }
    case WM_CHAR:
    case WM_SYSCHAR:
        return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (g_fullScreen)
            EndSaver(window);
        return 0;
    case WM_MOUSEMOVE:
        if (g_fullScreen && MovedBeyondSlack(lParam))
            EndSaver(window);
        return 0;
    case WM_SETCURSOR:
        if (g_fullScreen) {
            SetCursor(nullptr);
            return TRUE;
        }
        break;
    case WM_PAINT:
        // A parent in another process may go without our child hearing of it.
        if (g_previewParent != nullptr && !IsWindow(g_previewParent)) {
            DestroyWindow(window);
            return 0;
        }
        if (g_running) {
            if (OtherMonitorsEnding())
                EndSaver(window);
            WaitForNextRefresh();
            const LRESULT painted = WndProc(window, message, wParam, lParam);
            NoteFrameShown();
            return painted;
        }
        break;
    default:
        break;
    }
    return WndProc(window, message, wParam, lParam);
}

// Windows starts a saver from a folder of its own choosing (System32, the
// control panel's); the texture lies next to the .scr.
void WorkFromOwnFolder()
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    char* lastSeparator = std::strrchr(path, '\\');
    if (lastSeparator == nullptr)
        return;
    *lastSeparator = '\0';
    SetCurrentDirectoryA(path);
}

bool RegisterSaverClass(HINSTANCE instance)
{
    WNDCLASSA windowClass = {};
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC;
    windowClass.lpfnWndProc = ScreenSaverProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = g_fullScreen ? nullptr : LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kWindowTitle;
    return RegisterClassA(&windowClass) != 0;
}

HWND CreateSaverWindow(HINSTANCE instance)
{
    if (g_fullScreen) {
        // This process's monitor, above every other window.
        return CreateWindowExA(
            WS_EX_TOPMOST, kWindowTitle, kWindowTitle, WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
            g_screenArea.left, g_screenArea.top, g_screenArea.right - g_screenArea.left,
            g_screenArea.bottom - g_screenArea.top, nullptr, nullptr, instance, nullptr);
    }
    RECT area = {};
    GetClientRect(g_previewParent, &area);
    return CreateWindowExA(0, kWindowTitle, kWindowTitle,
                           WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0,
                           area.right - area.left, area.bottom - area.top, g_previewParent, nullptr,
                           instance, nullptr);
}

int RunSaverWindow(HINSTANCE instance)
{
    g_running = false;
    if (!RegisterSaverClass(instance))
        return 0;
    HWND window = CreateSaverWindow(instance);
    if (window == nullptr)
        return 0;
    g_hwnd = window;
    const int exitCode = RunEffectWindow(window);
    StopSaverPacing();
    return exitCode;
}

}  // namespace

ScreenSaverRequest ScreenSaverRequestOfThisProgram(const char* commandLine)
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return ParseScreenSaverCommandLine(commandLine);
    return ScreenSaverRequestFor(commandLine, path);
}

int RunScreenSaver(HINSTANCE instance, const ScreenSaverRequest& request)
{
    HWND given = reinterpret_cast<HWND>(request.window);
    switch (request.mode) {
    case ScreenSaverMode::kSettings:
        MessageBoxA(IsWindow(given) ? given : nullptr, kNothingToSetText, kWindowTitle,
                    MB_OK | MB_ICONINFORMATION);
        return 0;
    case ScreenSaverMode::kPreview:
        if (!IsWindow(given))
            return 0;
        g_previewParent = given;
        break;
    case ScreenSaverMode::kFullScreen:
    case ScreenSaverMode::kOneMonitor:
        g_fullScreen = true;
        break;
    case ScreenSaverMode::kNone:
        return 0;
    }

    WorkFromOwnFolder();
    if (request.mode == ScreenSaverMode::kFullScreen) {
        g_screenArea = StartOtherMonitors();
    } else if (request.mode == ScreenSaverMode::kOneMonitor) {
        const MonitorShare& share = request.share;
        g_screenArea = {share.left, share.top, share.left + share.width, share.top + share.height};
        JoinOtherMonitors(share);
    }
    const int exitCode = RunSaverWindow(instance);
    FinishOtherMonitors();
    return exitCode;
}
