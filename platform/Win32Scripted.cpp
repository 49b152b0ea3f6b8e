#include "platform/Win32Scripted.h"

#include "platform/Win32Queue.h"

#include <deque>
#include <type_traits>
#include <utility>

namespace {

// Addresses of these stand in for handles: unique, never dereferenced.
char g_windowObject;
char g_deviceContextObject;
char g_renderContextObject;
char g_cursorObject;

struct ScriptedState {
    std::deque<int> answers;
    bool registerFails = false;
    bool createFails = false;
    int clientWidth = 632;
    int clientHeight = 446;
    LONGLONG frequency = 1000000;
    LONGLONG counter = 0;
    std::function<void(int)> swapHook;
    long peekLimit = 100000;
    long peeks = 0;
    int swaps = 0;

    bool classRegistered = false;
    WNDCLASSA windowClass{};
    std::string className;
    bool windowExists = false;
    bool windowVisible = false;
    bool windowShownOnce = false;
    bool windowInvalid = false;
    std::string windowText;
    HGLRC currentContext = nullptr;
    int contextsAlive = 0;
    MessageQueue queue;

    std::vector<ScriptedCall> calls;
    std::vector<ScriptedMessageBox> boxes;
    std::vector<std::string> texts;
    std::vector<MSG> posted;
    std::string debugOutput;
};

ScriptedState g_state;

template <typename T>
std::uintptr_t AsArg(T value)
{
    if constexpr (std::is_pointer_v<T>)
        return reinterpret_cast<std::uintptr_t>(value);
    else
        return static_cast<std::uintptr_t>(value);
}

template <typename... T>
void Record(const char* name, T... values)
{
    ScriptedCall call{name, {0, 0, 0, 0}};
    std::uintptr_t args[] = {0, AsArg(values)...};
    for (std::size_t i = 1; i < sizeof...(T) + 1 && i <= 4; ++i)
        call.args[i - 1] = args[i];
    g_state.calls.push_back(call);
}

HWND TheWindow()
{
    return reinterpret_cast<HWND>(&g_windowObject);
}

bool IsOurWindow(HWND window)
{
    return g_state.windowExists && window == TheWindow();
}

LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam)
{
    return g_state.windowClass.lpfnWndProc(TheWindow(), message, wParam, lParam);
}

}  // namespace

void ScriptedReset()
{
    g_state = ScriptedState{};
}

void ScriptedQueueMessageBoxAnswer(int answer)
{
    g_state.answers.push_back(answer);
}

void ScriptedSetRegisterClassFails(bool fails)
{
    g_state.registerFails = fails;
}

void ScriptedSetCreateWindowFails(bool fails)
{
    g_state.createFails = fails;
}

void ScriptedSetClientSize(int width, int height)
{
    g_state.clientWidth = width;
    g_state.clientHeight = height;
}

void ScriptedSetCounterFrequency(LONGLONG ticksPerSecond)
{
    g_state.frequency = ticksPerSecond;
}

void ScriptedSetCounter(LONGLONG ticks)
{
    g_state.counter = ticks;
}

void ScriptedSetSwapHook(std::function<void(int)> hook)
{
    g_state.swapHook = std::move(hook);
}

void ScriptedSetPeekLimit(long peeks)
{
    g_state.peekLimit = peeks;
}

void ScriptedQueueMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    g_state.queue.Post(g_state.windowExists ? TheWindow() : nullptr, message, wParam, lParam);
}

const std::vector<ScriptedCall>& ScriptedCalls()
{
    return g_state.calls;
}

int ScriptedCallCount(const std::string& name)
{
    int count = 0;
    for (const ScriptedCall& call : g_state.calls)
        count += call.name == name ? 1 : 0;
    return count;
}

const std::vector<ScriptedMessageBox>& ScriptedMessageBoxes()
{
    return g_state.boxes;
}

const std::vector<std::string>& ScriptedWindowTexts()
{
    return g_state.texts;
}

const std::vector<MSG>& ScriptedPostedMessages()
{
    return g_state.posted;
}

const std::string& ScriptedDebugOutput()
{
    return g_state.debugOutput;
}

const WNDCLASSA* ScriptedRegisteredClass()
{
    return g_state.classRegistered ? &g_state.windowClass : nullptr;
}

std::string ScriptedRegisteredClassName()
{
    return g_state.className;
}

HWND ScriptedWindow()
{
    return g_state.windowExists ? TheWindow() : nullptr;
}

bool ScriptedWindowVisible()
{
    return g_state.windowExists && g_state.windowVisible;
}

bool ScriptedWindowInvalid()
{
    return g_state.windowExists && g_state.windowInvalid;
}

std::string ScriptedWindowText()
{
    return g_state.windowText;
}

HDC ScriptedDeviceContext()
{
    return reinterpret_cast<HDC>(&g_deviceContextObject);
}

HGLRC ScriptedRenderContext()
{
    return reinterpret_cast<HGLRC>(&g_renderContextObject);
}

HGLRC ScriptedCurrentContext()
{
    return g_state.currentContext;
}

// ---- The Win32 calls ----

ATOM RegisterClassA(const WNDCLASSA* windowClass)
{
    Record("RegisterClassA", windowClass);
    if (g_state.registerFails || windowClass == nullptr || windowClass->lpfnWndProc == nullptr ||
        g_state.classRegistered)
        return 0;
    g_state.classRegistered = true;
    g_state.windowClass = *windowClass;
    g_state.className = windowClass->lpszClassName != nullptr ? windowClass->lpszClassName : "";
    g_state.windowClass.lpszClassName = g_state.className.c_str();
    return 0xC001;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param)
{
    Record("CreateWindowExA", exStyle, style, width, height);
    (void)x;
    (void)y;
    (void)parent;
    (void)menu;
    (void)instance;
    (void)param;
    if (g_state.createFails || !g_state.classRegistered || g_state.windowExists ||
        className == nullptr || g_state.className != className)
        return nullptr;
    g_state.windowExists = true;
    g_state.windowVisible = false;
    g_state.windowShownOnce = false;
    g_state.windowInvalid = true;
    g_state.windowText = windowName != nullptr ? windowName : "";
    if (Send(WM_CREATE, 0, 0) == -1) {
        DestroyWindow(TheWindow());
        return nullptr;
    }
    return TheWindow();
}

BOOL DestroyWindow(HWND window)
{
    Record("DestroyWindow", window);
    if (!IsOurWindow(window))
        return FALSE;
    Send(WM_DESTROY, 0, 0);
    g_state.windowExists = false;
    g_state.windowVisible = false;
    g_state.queue.DropWindow(window);
    return TRUE;
}

BOOL ShowWindow(HWND window, int showCommand)
{
    Record("ShowWindow", window, showCommand);
    if (!IsOurWindow(window))
        return FALSE;
    const bool wasVisible = g_state.windowVisible;
    if (!g_state.windowShownOnce && showCommand != SW_HIDE) {
        // As on Windows: the first showing sends the client size first.
        g_state.windowShownOnce = true;
        Send(WM_SIZE, 0, MAKELPARAM(g_state.clientWidth, g_state.clientHeight));
    }
    g_state.windowVisible = showCommand != SW_HIDE;
    if (g_state.windowVisible)
        g_state.windowInvalid = true;
    return wasVisible ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND window)
{
    Record("UpdateWindow", window);
    if (!IsOurWindow(window))
        return FALSE;
    if (g_state.windowInvalid && g_state.windowVisible)
        Send(WM_PAINT, 0, 0);
    return TRUE;
}

BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags)
{
    Record("PeekMessageA", window, filterMin, filterMax, removeFlags);
    if (++g_state.peeks > g_state.peekLimit)
        g_state.queue.PostQuit(kScriptedRunaway);
    HWND invalid = g_state.windowExists && g_state.windowInvalid && g_state.windowVisible
                       ? TheWindow()
                       : nullptr;
    return g_state.queue.Peek(msg, (removeFlags & PM_REMOVE) != 0, invalid) ? TRUE : FALSE;
}

BOOL TranslateMessage(const MSG* msg)
{
    Record("TranslateMessage", msg->message, msg->wParam);
    if (msg->message != WM_KEYDOWN)
        return FALSE;
    WPARAM character = CharacterForVirtualKey(msg->wParam);
    if (character != 0)
        g_state.queue.Post(msg->hwnd, WM_CHAR, character, msg->lParam);
    return TRUE;
}

LRESULT DispatchMessageA(const MSG* msg)
{
    Record("DispatchMessageA", msg->message, msg->wParam);
    if (!IsOurWindow(msg->hwnd))
        return 0;
    return Send(msg->message, msg->wParam, msg->lParam);
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Record("DefWindowProcA", window, message, wParam, lParam);
    if (!IsOurWindow(window))
        return 0;
    switch (message) {
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_PAINT:
        // The default painting validates the window.
        g_state.windowInvalid = false;
        return 0;
    default:
        return 0;
    }
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Record("PostMessageA", window, message, wParam, lParam);
    MSG msg{};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    g_state.posted.push_back(msg);
    if (window != nullptr && !IsOurWindow(window))
        return FALSE;
    g_state.queue.Post(window, message, wParam, lParam);
    return TRUE;
}

void PostQuitMessage(int exitCode)
{
    Record("PostQuitMessage", exitCode);
    g_state.queue.PostQuit(exitCode);
}

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase)
{
    Record("InvalidateRect", window, rect, erase);
    if (!IsOurWindow(window))
        return FALSE;
    g_state.windowInvalid = true;
    return TRUE;
}

BOOL ValidateRect(HWND window, const RECT* rect)
{
    Record("ValidateRect", window, rect);
    if (!IsOurWindow(window))
        return FALSE;
    g_state.windowInvalid = false;
    return TRUE;
}

BOOL SetWindowTextA(HWND window, LPCSTR text)
{
    Record("SetWindowTextA", window);
    g_state.texts.push_back(text != nullptr ? text : "");
    if (!IsOurWindow(window))
        return FALSE;
    g_state.windowText = g_state.texts.back();
    return TRUE;
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    Record("MessageBoxA", owner, type);
    g_state.boxes.push_back({owner, text != nullptr ? text : "", caption != nullptr ? caption : "",
                             type});
    if (g_state.answers.empty())
        return IDOK;
    int answer = g_state.answers.front();
    g_state.answers.pop_front();
    return answer;
}

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR cursorName)
{
    Record("LoadCursorA", instance, cursorName);
    if (instance != nullptr || cursorName != IDC_ARROW)
        return nullptr;
    return reinterpret_cast<HCURSOR>(&g_cursorObject);
}

HDC GetDC(HWND window)
{
    Record("GetDC", window);
    return IsOurWindow(window) ? ScriptedDeviceContext() : nullptr;
}

int GetDeviceCaps(HDC deviceContext, int index)
{
    Record("GetDeviceCaps", deviceContext, index);
    return deviceContext == ScriptedDeviceContext() && index == BITSPIXEL ? 32 : 0;
}

int ChoosePixelFormat(HDC deviceContext, const PIXELFORMATDESCRIPTOR* request)
{
    Record("ChoosePixelFormat", deviceContext, request);
    return deviceContext == ScriptedDeviceContext() && request != nullptr && request->nSize == 40
               ? 7
               : 0;
}

BOOL SetPixelFormat(HDC deviceContext, int format, const PIXELFORMATDESCRIPTOR* request)
{
    Record("SetPixelFormat", deviceContext, format, request);
    return deviceContext == ScriptedDeviceContext() && format == 7 ? TRUE : FALSE;
}

BOOL SwapBuffers(HDC deviceContext)
{
    Record("SwapBuffers", deviceContext);
    ++g_state.swaps;
    if (g_state.swapHook)
        g_state.swapHook(g_state.swaps);
    return deviceContext == ScriptedDeviceContext() ? TRUE : FALSE;
}

HGLRC wglCreateContext(HDC deviceContext)
{
    Record("wglCreateContext", deviceContext);
    if (deviceContext != ScriptedDeviceContext())
        return nullptr;
    ++g_state.contextsAlive;
    return ScriptedRenderContext();
}

BOOL wglMakeCurrent(HDC deviceContext, HGLRC renderContext)
{
    Record("wglMakeCurrent", deviceContext, renderContext);
    if (renderContext != nullptr &&
        (renderContext != ScriptedRenderContext() || g_state.contextsAlive == 0))
        return FALSE;
    g_state.currentContext = renderContext;
    return TRUE;
}

BOOL wglDeleteContext(HGLRC renderContext)
{
    Record("wglDeleteContext", renderContext);
    if (renderContext != ScriptedRenderContext() || g_state.contextsAlive == 0)
        return FALSE;
    --g_state.contextsAlive;
    if (g_state.currentContext == renderContext)
        g_state.currentContext = nullptr;
    return TRUE;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency)
{
    Record("QueryPerformanceFrequency", frequency);
    frequency->QuadPart = g_state.frequency;
    return g_state.frequency != 0 ? TRUE : FALSE;
}

BOOL QueryPerformanceCounter(LARGE_INTEGER* count)
{
    Record("QueryPerformanceCounter", count);
    count->QuadPart = g_state.counter;
    return TRUE;
}

void OutputDebugStringA(LPCSTR text)
{
    Record("OutputDebugStringA", text);
    g_state.debugOutput += text != nullptr ? text : "";
}
