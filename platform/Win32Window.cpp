// The window model: the Win32 calls of Win32.h written once, over whichever
// backend is installed (Win32Backend.h).

#include "platform/ReportError.h"
#include "platform/SteadyClock.h"
#include "platform/Win32Backend.h"
#include "platform/Win32Queue.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <type_traits>

namespace {

// Addresses of these stand in for the handles: unique, never dereferenced.
char g_windowObject;
char g_deviceContextObject;
char g_cursorObject;

constexpr WPARAM kSizeRestored = 0;
constexpr WPARAM kSizeMinimized = 1;

struct WindowModel {
    bool classRegistered = false;
    WNDCLASSA windowClass{};
    std::string className;
    bool exists = false;
    bool shownOnce = false;
    bool visible = false;
    bool invalid = false;
    int reportedWidth = -1;
    int reportedHeight = -1;
    int chosenPixelFormat = 0;
    // Fixed, so that a title change allocates nothing (the renderer sets one a second).
    char title[256] = {};
    MessageQueue queue;
};

WindowModel g_model;
const Win32Backend* g_backend = nullptr;

const Win32Backend& Backend()
{
    if (g_backend == nullptr) {
        ReportError("window model", "a Win32 call without a window backend installed");
        std::abort();
    }
    return *g_backend;
}

template <typename T>
std::uintptr_t AsArg(T value)
{
    if constexpr (std::is_pointer_v<T>)
        return reinterpret_cast<std::uintptr_t>(value);
    else
        return static_cast<std::uintptr_t>(value);
}

template <typename... T>
void Trace(const char* call, T... values)
{
    static_assert(sizeof...(T) <= 4, "four arguments at most");
    if (Backend().trace == nullptr)
        return;
    std::uintptr_t args[5] = {AsArg(values)..., 0};
    Backend().trace(call, args[0], args[1], args[2], args[3]);
}

HWND TheWindow()
{
    return reinterpret_cast<HWND>(&g_windowObject);
}

bool IsOurWindow(HWND window)
{
    return g_model.exists && window == TheWindow();
}

bool IsOurDeviceContext(HDC deviceContext)
{
    return g_model.exists && deviceContext == Win32ModelDeviceContext();
}

LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam)
{
    return g_model.windowClass.lpfnWndProc(TheWindow(), message, wParam, lParam);
}

void SetTitle(const char* text)
{
    std::snprintf(g_model.title, sizeof g_model.title, "%s", text != nullptr ? text : "");
}

}  // namespace

void Win32InstallBackend(const Win32Backend* backend)
{
    g_backend = backend;
}

void Win32ReportMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    g_model.queue.Post(g_model.exists ? TheWindow() : nullptr, message, wParam, lParam);
}

void Win32ReportClientSize(int width, int height)
{
    if (!g_model.exists)
        return;
    g_model.invalid = true;
    if (width == g_model.reportedWidth && height == g_model.reportedHeight)
        return;
    g_model.reportedWidth = width;
    g_model.reportedHeight = height;
    g_model.queue.Post(TheWindow(), WM_SIZE, kSizeRestored, MAKELPARAM(width, height));
}

void Win32ReportMinimized()
{
    if (!g_model.exists)
        return;
    // As on Windows, a minimised window has an empty client area.
    g_model.reportedWidth = 0;
    g_model.reportedHeight = 0;
    g_model.queue.Post(TheWindow(), WM_SIZE, kSizeMinimized, 0);
}

void Win32ReportExposed()
{
    if (g_model.exists)
        g_model.invalid = true;
}

void Win32ReportClose()
{
    if (g_model.exists)
        g_model.queue.Post(TheWindow(), WM_CLOSE, 0, 0);
}

void Win32ClientSizeForOuterSize(int outerWidth, int outerHeight, int* clientWidth,
                                 int* clientHeight)
{
    constexpr int kFrameWidth = 4;
    constexpr int kCaptionHeight = 26;
    const int width = outerWidth - 2 * kFrameWidth;
    const int height = outerHeight - 2 * kFrameWidth - kCaptionHeight;
    *clientWidth = width > 1 ? width : 1;
    *clientHeight = height > 1 ? height : 1;
}

void ReportRateFigures(const RateFigures& figures)
{
    if (Backend().rateFigures != nullptr)
        Backend().rateFigures(figures);
}

HWND Win32ModelWindow()
{
    return g_model.exists ? TheWindow() : nullptr;
}

bool Win32ModelWindowVisible()
{
    return g_model.exists && g_model.visible;
}

bool Win32ModelWindowInvalid()
{
    return g_model.exists && g_model.invalid;
}

const char* Win32ModelWindowTitle()
{
    return g_model.title;
}

const WNDCLASSA* Win32ModelClass()
{
    return g_model.classRegistered ? &g_model.windowClass : nullptr;
}

HDC Win32ModelDeviceContext()
{
    return reinterpret_cast<HDC>(&g_deviceContextObject);
}

void Win32ResetModel()
{
    g_model.classRegistered = false;
    g_model.windowClass = WNDCLASSA{};
    g_model.className.clear();
    g_model.exists = false;
    g_model.shownOnce = false;
    g_model.visible = false;
    g_model.invalid = false;
    g_model.reportedWidth = -1;
    g_model.reportedHeight = -1;
    g_model.chosenPixelFormat = 0;
    g_model.title[0] = '\0';
    g_model.queue.Clear();
}

// ---- The Win32 calls ----

ATOM RegisterClassA(const WNDCLASSA* windowClass)
{
    Trace("RegisterClassA", windowClass);
    if (windowClass == nullptr || windowClass->lpfnWndProc == nullptr || g_model.classRegistered)
        return 0;
    g_model.classRegistered = true;
    g_model.windowClass = *windowClass;
    g_model.className = windowClass->lpszClassName != nullptr ? windowClass->lpszClassName : "";
    g_model.windowClass.lpszClassName = g_model.className.c_str();
    return 0xC001;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param)
{
    Trace("CreateWindowExA", exStyle, style, width, height);
    (void)parent;
    (void)menu;
    (void)instance;
    (void)param;
    if (!g_model.classRegistered || g_model.exists || className == nullptr ||
        g_model.className != className)
        return nullptr;
    Win32WindowRequest request{};
    request.title = windowName != nullptr ? windowName : "";
    request.defaultPosition = x == CW_USEDEFAULT;
    request.x = x;
    request.y = y;
    request.outerWidth = width;
    request.outerHeight = height;
    request.resizable = (style & WS_THICKFRAME) != 0;
    if (!Backend().createWindow(request))
        return nullptr;
    g_model.exists = true;
    g_model.shownOnce = false;
    g_model.visible = false;
    g_model.invalid = true;
    g_model.reportedWidth = -1;
    g_model.reportedHeight = -1;
    SetTitle(request.title);
    if (Send(WM_CREATE, 0, 0) == -1) {
        DestroyWindow(TheWindow());
        return nullptr;
    }
    return TheWindow();
}

BOOL DestroyWindow(HWND window)
{
    Trace("DestroyWindow", window);
    if (!IsOurWindow(window))
        return FALSE;
    Send(WM_DESTROY, 0, 0);
    Backend().destroyWindow();
    g_model.exists = false;
    g_model.visible = false;
    g_model.queue.DropWindow(window);
    return TRUE;
}

BOOL ShowWindow(HWND window, int showCommand)
{
    Trace("ShowWindow", window, showCommand);
    if (!IsOurWindow(window))
        return FALSE;
    const bool wasVisible = g_model.visible;
    if (showCommand == SW_HIDE) {
        Backend().showWindow(false);
        g_model.visible = false;
        return wasVisible ? TRUE : FALSE;
    }
    if (!g_model.shownOnce) {
        // As on Windows: the first showing sends the client size first.
        g_model.shownOnce = true;
        int clientWidth = 0;
        int clientHeight = 0;
        Backend().clientSize(&clientWidth, &clientHeight);
        g_model.reportedWidth = clientWidth;
        g_model.reportedHeight = clientHeight;
        Send(WM_SIZE, kSizeRestored, MAKELPARAM(clientWidth, clientHeight));
    }
    Backend().showWindow(true);
    g_model.visible = true;
    g_model.invalid = true;
    return wasVisible ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND window)
{
    Trace("UpdateWindow", window);
    if (!IsOurWindow(window))
        return FALSE;
    if (g_model.invalid && g_model.visible)
        Send(WM_PAINT, 0, 0);
    return TRUE;
}

BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags)
{
    Trace("PeekMessageA", window, filterMin, filterMax, removeFlags);
    // Only the unfiltered form is supported: no window, no message range.
    if (window != nullptr || filterMin != 0 || filterMax != 0)
        return FALSE;
    Backend().pumpEvents();
    HWND invalid = g_model.exists && g_model.invalid && g_model.visible ? TheWindow() : nullptr;
    return g_model.queue.Peek(msg, (removeFlags & PM_REMOVE) != 0, invalid) ? TRUE : FALSE;
}

BOOL TranslateMessage(const MSG* msg)
{
    Trace("TranslateMessage", msg->message, msg->wParam);
    if (msg->message != WM_KEYDOWN)
        return FALSE;
    const WPARAM character = CharacterForVirtualKey(msg->wParam);
    if (character != 0)
        g_model.queue.Post(msg->hwnd, WM_CHAR, character, msg->lParam);
    return TRUE;
}

LRESULT DispatchMessageA(const MSG* msg)
{
    Trace("DispatchMessageA", msg->message, msg->wParam);
    if (!IsOurWindow(msg->hwnd))
        return 0;
    return Send(msg->message, msg->wParam, msg->lParam);
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Trace("DefWindowProcA", window, message, wParam, lParam);
    if (!IsOurWindow(window))
        return 0;
    switch (message) {
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_PAINT:
        g_model.invalid = false;  // the default painting validates
        return 0;
    default:
        return 0;
    }
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Trace("PostMessageA", window, message, wParam, lParam);
    if (window != nullptr && !IsOurWindow(window))
        return FALSE;
    g_model.queue.Post(window, message, wParam, lParam);
    return TRUE;
}

void PostQuitMessage(int exitCode)
{
    Trace("PostQuitMessage", exitCode);
    g_model.queue.PostQuit(exitCode);
}

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase)
{
    Trace("InvalidateRect", window, rect, erase);
    if (!IsOurWindow(window))
        return FALSE;
    g_model.invalid = true;  // the whole client area, always
    return TRUE;
}

BOOL ValidateRect(HWND window, const RECT* rect)
{
    Trace("ValidateRect", window, rect);
    if (!IsOurWindow(window))
        return FALSE;
    g_model.invalid = false;
    return TRUE;
}

BOOL SetWindowTextA(HWND window, LPCSTR text)
{
    Trace("SetWindowTextA", window, text);
    if (!IsOurWindow(window))
        return FALSE;
    SetTitle(text);
    Backend().setTitle(g_model.title);
    return TRUE;
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    Trace("MessageBoxA", owner, type);
    return Backend().messageBox(IsOurWindow(owner) ? owner : nullptr, text != nullptr ? text : "",
                                caption != nullptr ? caption : "Error", type);
}

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR cursorName)
{
    Trace("LoadCursorA", instance, cursorName);
    // The backend's default cursor is the arrow; the handle only has to be valid.
    if (instance != nullptr || cursorName != IDC_ARROW)
        return nullptr;
    return reinterpret_cast<HCURSOR>(&g_cursorObject);
}

HDC GetDC(HWND window)
{
    Trace("GetDC", window);
    return IsOurWindow(window) ? Win32ModelDeviceContext() : nullptr;
}

int GetDeviceCaps(HDC deviceContext, int index)
{
    Trace("GetDeviceCaps", deviceContext, index);
    if (!IsOurDeviceContext(deviceContext) || index != BITSPIXEL)
        return 0;
    return Backend().colorBits();
}

int ChoosePixelFormat(HDC deviceContext, const PIXELFORMATDESCRIPTOR* request)
{
    Trace("ChoosePixelFormat", deviceContext, request);
    if (!IsOurDeviceContext(deviceContext) || request == nullptr ||
        request->nSize != sizeof(PIXELFORMATDESCRIPTOR))
        return 0;
    const int format = Backend().choosePixelFormat(*request);
    if (format != 0)
        g_model.chosenPixelFormat = format;
    return format;
}

BOOL SetPixelFormat(HDC deviceContext, int format, const PIXELFORMATDESCRIPTOR* request)
{
    Trace("SetPixelFormat", deviceContext, format, request);
    // The window's visual is fixed when it is made: only the format offered is accepted.
    return IsOurDeviceContext(deviceContext) && format != 0 && format == g_model.chosenPixelFormat
               ? TRUE
               : FALSE;
}

BOOL SwapBuffers(HDC deviceContext)
{
    Trace("SwapBuffers", deviceContext);
    if (!IsOurDeviceContext(deviceContext))
        return FALSE;
    return Backend().swapBuffers() ? TRUE : FALSE;
}

HGLRC wglCreateContext(HDC deviceContext)
{
    Trace("wglCreateContext", deviceContext);
    if (!IsOurDeviceContext(deviceContext))
        return nullptr;
    return Backend().createContext();
}

BOOL wglMakeCurrent(HDC deviceContext, HGLRC renderContext)
{
    Trace("wglMakeCurrent", deviceContext, renderContext);
    if (renderContext != nullptr && !IsOurDeviceContext(deviceContext))
        return FALSE;
    return Backend().makeCurrent(renderContext) ? TRUE : FALSE;
}

BOOL wglDeleteContext(HGLRC renderContext)
{
    Trace("wglDeleteContext", renderContext);
    if (renderContext == nullptr)
        return FALSE;
    return Backend().deleteContext(renderContext) ? TRUE : FALSE;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency)
{
    Trace("QueryPerformanceFrequency", frequency);
    frequency->QuadPart = Backend().counterFrequency();
    return frequency->QuadPart != 0 ? TRUE : FALSE;
}

BOOL QueryPerformanceCounter(LARGE_INTEGER* count)
{
    Trace("QueryPerformanceCounter", count);
    count->QuadPart = Backend().counter();
    return TRUE;
}

void OutputDebugStringA(LPCSTR text)
{
    Trace("OutputDebugStringA", text);
    if (text != nullptr)
        Backend().debugOutput(text);
}

std::int64_t Win32SteadyCounterFrequency()
{
    return kSteadyClockFrequency;
}

std::int64_t Win32SteadyCounter()
{
    return SteadyClockNanoseconds();
}
