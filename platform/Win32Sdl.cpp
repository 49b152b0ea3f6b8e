// The window layer over SDL2: one real window with an OpenGL context, the
// keyboard as Windows character messages, SDL's message boxes.

#include "platform/Win32.h"
#include "platform/Win32Queue.h"
#include "platform/Win32SdlInput.h"

#include <SDL.h>

#include <cstdio>
#include <string>

namespace {

// Addresses of these stand in for the handles that have no SDL object.
char g_windowObject;
char g_deviceContextObject;
char g_cursorObject;

// The one format the layer offers: the window's own double-buffered RGBA visual.
constexpr int kOnlyPixelFormat = 1;

constexpr WPARAM kSizeRestored = 0;
constexpr WPARAM kSizeMinimized = 1;

struct SdlLayer {
    bool videoReady = false;
    bool classRegistered = false;
    WNDCLASSA windowClass{};
    std::string className;
    SDL_Window* window = nullptr;
    bool shownOnce = false;
    bool visible = false;
    bool invalid = false;
    int reportedWidth = -1;
    int reportedHeight = -1;
    MessageQueue queue;
};

SdlLayer g_layer;

HWND TheWindow()
{
    return reinterpret_cast<HWND>(&g_windowObject);
}

HDC TheDeviceContext()
{
    return reinterpret_cast<HDC>(&g_deviceContextObject);
}

bool IsOurWindow(HWND window)
{
    return g_layer.window != nullptr && window == TheWindow();
}

bool IsOurDeviceContext(HDC deviceContext)
{
    return g_layer.window != nullptr && deviceContext == TheDeviceContext();
}

// The layer's trace (TUNNEL_WIN32_TRACE set to anything): message-box
// texts on standard error, like a debugger's view of the calls. The program
// itself reads no environment.
bool TraceEnabled()
{
    static const bool enabled = SDL_getenv("TUNNEL_WIN32_TRACE") != nullptr;
    return enabled;
}

void ReportSdlError(const char* call)
{
    std::fprintf(stderr, "%s: %s\n", call, SDL_GetError());
}

LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam)
{
    return g_layer.windowClass.lpfnWndProc(TheWindow(), message, wParam, lParam);
}

bool EnsureVideo()
{
    if (g_layer.videoReady)
        return true;
    // Ctrl+C and SIGTERM keep their default effect instead of becoming a quit event.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        ReportSdlError("SDL_InitSubSystem");
        return false;
    }
    g_layer.videoReady = true;
    return true;
}

// A size message when the client size differs from the last one reported:
// sent at once while showing, otherwise queued like any window-system event.
void ReportClientSize(bool sendNow)
{
    int width = 0;
    int height = 0;
    SDL_GL_GetDrawableSize(g_layer.window, &width, &height);
    if (width == g_layer.reportedWidth && height == g_layer.reportedHeight)
        return;
    g_layer.reportedWidth = width;
    g_layer.reportedHeight = height;
    const LPARAM size = MAKELPARAM(width, height);
    if (sendNow)
        Send(WM_SIZE, kSizeRestored, size);
    else
        g_layer.queue.Post(TheWindow(), WM_SIZE, kSizeRestored, size);
}

void TranslateWindowEvent(const SDL_WindowEvent& event)
{
    if (event.windowID != SDL_GetWindowID(g_layer.window))
        return;
    switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
        g_layer.queue.Post(TheWindow(), WM_CLOSE, 0, 0);
        break;
    case SDL_WINDOWEVENT_EXPOSED:
        g_layer.invalid = true;
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
        // The class redraws on every resize.
        ReportClientSize(false);
        g_layer.invalid = true;
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        // As on Windows, a minimised window has an empty client area.
        g_layer.reportedWidth = 0;
        g_layer.reportedHeight = 0;
        g_layer.queue.Post(TheWindow(), WM_SIZE, kSizeMinimized, 0);
        break;
    default:
        break;
    }
}

void TranslateEvent(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_KEYDOWN: {
        const WPARAM virtualKey = VirtualKeyForSdlKey(event.key.keysym.sym);
        if (virtualKey != 0) {
            // Repeat count 1; bit 30 says the key was already down (auto-repeat).
            const LPARAM flags = 1 | (event.key.repeat != 0 ? (1L << 30) : 0);
            g_layer.queue.Post(TheWindow(), WM_KEYDOWN, virtualKey, flags);
        }
        break;
    }
    case SDL_TEXTINPUT: {
        WPARAM codes[SDL_TEXTINPUTEVENT_TEXT_SIZE];
        const int count = CharacterCodesForText(event.text.text, codes, SDL_TEXTINPUTEVENT_TEXT_SIZE);
        for (int i = 0; i < count; ++i)
            g_layer.queue.Post(TheWindow(), WM_CHAR, codes[i], 1);
        break;
    }
    case SDL_WINDOWEVENT:
        TranslateWindowEvent(event.window);
        break;
    default:
        // SDL_QUIT follows the window's own close event; the close is handled there.
        break;
    }
}

void PumpEvents()
{
    if (!g_layer.videoReady)
        return;
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        if (g_layer.window != nullptr)
            TranslateEvent(event);
    }
}

}  // namespace

ATOM RegisterClassA(const WNDCLASSA* windowClass)
{
    if (windowClass == nullptr || windowClass->lpfnWndProc == nullptr ||
        windowClass->lpszClassName == nullptr || g_layer.classRegistered)
        return 0;
    g_layer.classRegistered = true;
    g_layer.windowClass = *windowClass;
    g_layer.className = windowClass->lpszClassName;
    g_layer.windowClass.lpszClassName = g_layer.className.c_str();
    return 0xC001;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param)
{
    (void)exStyle;
    (void)parent;
    (void)menu;
    (void)instance;
    (void)param;
    if (!g_layer.classRegistered || className == nullptr || g_layer.className != className ||
        g_layer.window != nullptr || !EnsureVideo())
        return nullptr;

    // The visual is fixed when the window is made, so the context's kind is
    // chosen here: compatibility profile (immediate mode), double-buffered,
    // no depth or stencil buffer. ChoosePixelFormat later offers just this one.
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);

    int clientWidth = 0;
    int clientHeight = 0;
    ClientSizeForOuterSize(width, height, &clientWidth, &clientHeight);
    const bool defaultPosition = x == CW_USEDEFAULT;
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if ((style & WS_THICKFRAME) != 0)
        flags |= SDL_WINDOW_RESIZABLE;
    g_layer.window = SDL_CreateWindow(windowName != nullptr ? windowName : "",
                                      defaultPosition ? SDL_WINDOWPOS_UNDEFINED : x,
                                      defaultPosition ? SDL_WINDOWPOS_UNDEFINED : y, clientWidth,
                                      clientHeight, flags);
    if (g_layer.window == nullptr) {
        ReportSdlError("SDL_CreateWindow");
        return nullptr;
    }
    g_layer.shownOnce = false;
    g_layer.visible = false;
    g_layer.invalid = true;
    g_layer.reportedWidth = -1;
    g_layer.reportedHeight = -1;
    SDL_StartTextInput();

    if (Send(WM_CREATE, 0, 0) == -1) {
        DestroyWindow(TheWindow());
        return nullptr;
    }
    return TheWindow();
}

BOOL DestroyWindow(HWND window)
{
    if (!IsOurWindow(window))
        return FALSE;
    Send(WM_DESTROY, 0, 0);
    SDL_DestroyWindow(g_layer.window);
    g_layer.window = nullptr;
    g_layer.visible = false;
    g_layer.queue.DropWindow(window);
    return TRUE;
}

BOOL ShowWindow(HWND window, int showCommand)
{
    if (!IsOurWindow(window))
        return FALSE;
    const bool wasVisible = g_layer.visible;
    if (showCommand == SW_HIDE) {
        SDL_HideWindow(g_layer.window);
        g_layer.visible = false;
        return wasVisible ? TRUE : FALSE;
    }
    if (!g_layer.shownOnce) {
        // As on Windows: the first showing sends the client size first.
        g_layer.shownOnce = true;
        ReportClientSize(true);
    }
    SDL_ShowWindow(g_layer.window);
    g_layer.visible = true;
    g_layer.invalid = true;
    return wasVisible ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND window)
{
    if (!IsOurWindow(window))
        return FALSE;
    if (g_layer.invalid && g_layer.visible)
        Send(WM_PAINT, 0, 0);
    return TRUE;
}

BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags)
{
    // Only the unfiltered form is supported: no window, no message range.
    if (window != nullptr || filterMin != 0 || filterMax != 0)
        return FALSE;
    PumpEvents();
    HWND invalid = g_layer.window != nullptr && g_layer.invalid && g_layer.visible ? TheWindow()
                                                                                 : nullptr;
    return g_layer.queue.Peek(msg, (removeFlags & PM_REMOVE) != 0, invalid) ? TRUE : FALSE;
}

BOOL TranslateMessage(const MSG* msg)
{
    if (msg->message != WM_KEYDOWN)
        return FALSE;
    const WPARAM character = CharacterForVirtualKey(msg->wParam);
    if (character != 0)
        g_layer.queue.Post(msg->hwnd, WM_CHAR, character, msg->lParam);
    return TRUE;
}

LRESULT DispatchMessageA(const MSG* msg)
{
    if (!IsOurWindow(msg->hwnd))
        return 0;
    return Send(msg->message, msg->wParam, msg->lParam);
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)wParam;
    (void)lParam;
    if (!IsOurWindow(window))
        return 0;
    switch (message) {
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_PAINT:
        g_layer.invalid = false;  // the default painting validates
        return 0;
    default:
        return 0;
    }
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (window != nullptr && !IsOurWindow(window))
        return FALSE;
    g_layer.queue.Post(window, message, wParam, lParam);
    return TRUE;
}

void PostQuitMessage(int exitCode)
{
    g_layer.queue.PostQuit(exitCode);
}

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase)
{
    (void)rect;  // the whole client area, always
    (void)erase;
    if (!IsOurWindow(window))
        return FALSE;
    g_layer.invalid = true;
    return TRUE;
}

BOOL ValidateRect(HWND window, const RECT* rect)
{
    (void)rect;
    if (!IsOurWindow(window))
        return FALSE;
    g_layer.invalid = false;
    return TRUE;
}

BOOL SetWindowTextA(HWND window, LPCSTR text)
{
    if (!IsOurWindow(window))
        return FALSE;
    SDL_SetWindowTitle(g_layer.window, text != nullptr ? text : "");
    return TRUE;
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    if (TraceEnabled()) {
        // The box's text drawn on screen is not readable by tests; this is.
        std::fprintf(stderr, "MessageBoxA: owner %s, type 0x%x, caption \"%s\", text:\n%s\n--\n",
                     owner != nullptr ? "window" : "none", type, caption != nullptr ? caption : "",
                     text != nullptr ? text : "");
        std::fflush(stderr);
    }
    SDL_MessageBoxButtonData buttons[2];
    int buttonCount = 1;
    int answerWhenClosed = IDOK;
    if ((type & 0x0F) == MB_OKCANCEL) {
        buttons[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDOK, "OK"};
        buttons[1] = {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDCANCEL, "Cancel"};
        buttonCount = 2;
        answerWhenClosed = IDCANCEL;
    } else {
        buttons[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT,
                      IDOK, "OK"};
    }
    Uint32 flags = SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    switch (type & 0xF0) {
    case MB_ICONERROR:
        flags |= SDL_MESSAGEBOX_ERROR;
        break;
    case MB_ICONWARNING:
        flags |= SDL_MESSAGEBOX_WARNING;
        break;
    default:
        flags |= SDL_MESSAGEBOX_INFORMATION;
        break;
    }
    SDL_MessageBoxData box{};
    box.flags = flags;
    box.window = IsOurWindow(owner) ? g_layer.window : nullptr;
    box.title = caption != nullptr ? caption : "Error";
    box.message = text != nullptr ? text : "";
    box.numbuttons = buttonCount;
    box.buttons = buttons;
    box.colorScheme = nullptr;
    int chosen = -1;
    if (SDL_ShowMessageBox(&box, &chosen) != 0) {
        ReportSdlError("SDL_ShowMessageBox");
        return 0;  // MessageBoxA's failure result
    }
    return chosen < 0 ? answerWhenClosed : chosen;
}

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR cursorName)
{
    // SDL's default cursor is the arrow; the handle only has to be valid.
    if (instance != nullptr || cursorName != IDC_ARROW)
        return nullptr;
    return reinterpret_cast<HCURSOR>(&g_cursorObject);
}

HDC GetDC(HWND window)
{
    return IsOurWindow(window) ? TheDeviceContext() : nullptr;
}

int GetDeviceCaps(HDC deviceContext, int index)
{
    if (!IsOurDeviceContext(deviceContext) || index != BITSPIXEL)
        return 0;
    SDL_DisplayMode mode;
    int display = SDL_GetWindowDisplayIndex(g_layer.window);
    if (SDL_GetCurrentDisplayMode(display >= 0 ? display : 0, &mode) != 0)
        return 0;
    // Bits per pixel as stored, as Windows counts them: 32 for 8-bit RGB.
    return SDL_BYTESPERPIXEL(mode.format) * 8;
}

int ChoosePixelFormat(HDC deviceContext, const PIXELFORMATDESCRIPTOR* request)
{
    if (!IsOurDeviceContext(deviceContext) || request == nullptr ||
        request->nSize != sizeof(PIXELFORMATDESCRIPTOR) || request->iPixelType != PFD_TYPE_RGBA)
        return 0;
    const DWORD needed = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    return (request->dwFlags & needed) == needed ? kOnlyPixelFormat : 0;
}

BOOL SetPixelFormat(HDC deviceContext, int format, const PIXELFORMATDESCRIPTOR* request)
{
    (void)request;
    return IsOurDeviceContext(deviceContext) && format == kOnlyPixelFormat ? TRUE : FALSE;
}

BOOL SwapBuffers(HDC deviceContext)
{
    if (!IsOurDeviceContext(deviceContext))
        return FALSE;
    SDL_GL_SwapWindow(g_layer.window);
    return TRUE;
}

HGLRC wglCreateContext(HDC deviceContext)
{
    if (!IsOurDeviceContext(deviceContext))
        return nullptr;
    // SDL makes a new context current; WGL does not, so restore what was.
    SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
    SDL_GLContext previousContext = SDL_GL_GetCurrentContext();
    SDL_GLContext context = SDL_GL_CreateContext(g_layer.window);
    if (context == nullptr) {
        ReportSdlError("SDL_GL_CreateContext");
        return nullptr;
    }
    SDL_GL_MakeCurrent(previousContext != nullptr ? previousWindow : g_layer.window, previousContext);
    return reinterpret_cast<HGLRC>(context);
}

BOOL wglMakeCurrent(HDC deviceContext, HGLRC renderContext)
{
    if (renderContext == nullptr) {
        SDL_Window* current = SDL_GL_GetCurrentWindow();
        if (current == nullptr)
            return TRUE;
        return SDL_GL_MakeCurrent(current, nullptr) == 0 ? TRUE : FALSE;
    }
    if (!IsOurDeviceContext(deviceContext))
        return FALSE;
    return SDL_GL_MakeCurrent(g_layer.window, reinterpret_cast<SDL_GLContext>(renderContext)) == 0
               ? TRUE
               : FALSE;
}

BOOL wglDeleteContext(HGLRC renderContext)
{
    if (renderContext == nullptr)
        return FALSE;
    SDL_GL_DeleteContext(reinterpret_cast<SDL_GLContext>(renderContext));
    return TRUE;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency)
{
    frequency->QuadPart = static_cast<LONGLONG>(SDL_GetPerformanceFrequency());
    return frequency->QuadPart != 0 ? TRUE : FALSE;
}

BOOL QueryPerformanceCounter(LARGE_INTEGER* count)
{
    count->QuadPart = static_cast<LONGLONG>(SDL_GetPerformanceCounter());
    return TRUE;
}

void OutputDebugStringA(LPCSTR text)
{
    if (text == nullptr)
        return;
    std::fputs(text, stderr);
    std::fflush(stderr);
}
