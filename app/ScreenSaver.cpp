#include "app/ScreenSaver.h"

#include <cstdlib>
#include <cstring>

#include "app/FrameClock.h"
#include "app/MessageLoop.h"
#include "app/ScreenSaverMonitors.h"
#include "app/ScreenSaverPacing.h"
#include "app/ScreenSaverRateOverlay.h"
#include "app/ScreenSaverRegistry.h"
#include "app/ScreenSaverSettings.h"
#include "app/WndProc.h"
#include "effect/EffectRenderer.h"
#include "effect/EffectState.h"
#include "look/LookSettings.h"

namespace {

// A hand resting on the mouse moves it a little; only a larger move ends
// the full-screen saver.
constexpr int kMouseSlackPixels = 4;

bool g_fullScreen = false;
RECT g_screenArea = {};  // in full screen: this process's monitor
HWND g_previewParent = nullptr;
bool g_mouseSeen = false;
POINT g_mouseStart = {};
bool g_firstFrameShown = false;

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

// One frame, as WndProc paints it, with the title's figures drawn on it when
// the look asks for them.
void PaintFrame(HWND window)
{
    AdvanceFrameClock();
    RenderFrame();
    if (g_look.showRate) {
        char title[128];
        if (GetWindowTextA(window, title, sizeof title) > 0)
            DrawSaverRate(g_deviceContext, g_clientHeight, title);
    }
    SwapBuffers(g_deviceContext);
    ValidateRect(window, nullptr);
}

// The effect's own procedure with the saver's input on top: in full screen
// any key, button or real mouse move ends it; the effect's keys never apply,
// but for the look's own, which the shell types ahead of the first frame.
LRESULT CALLBACK ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        const LRESULT created = WndProc(window, message, wParam, lParam);
        StartSaverPacing(g_deviceContext);
        return created;
    }
    case WM_CHAR:
        if (!g_firstFrameShown)
            return WndProc(window, message, wParam, lParam);
        return 0;
    case WM_SYSCHAR:
        return 0;
    case WM_DESTROY:
        ForgetSaverRate();
        break;
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
            PaintFrame(window);
            g_firstFrameShown = true;
            NoteFrameShown();
            return 0;
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
    case ScreenSaverMode::kSettings: {
        HWND owner = IsWindow(given) ? given : nullptr;
        if (ShowSaverSettings(instance, owner) < 0)
            MessageBoxA(owner, "The settings could not be shown.", kWindowTitle, MB_ICONERROR);
        return 0;
    }
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

    // Every monitor's process and the preview read the look for themselves.
    g_look = ReadSaverLook();
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
