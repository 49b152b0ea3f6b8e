#pragma once

// The window backend table: what a place for the program's one window must
// supply beneath the window model (Win32Window.cpp), which implements the
// Win32 calls of Win32.h once for every backend.
//
// What a backend covers: making (or attaching to) the real window and taking
// it down (or letting go of it), showing and hiding it, its title, its client
// size, the GL context on it and the swap, moving window-system events into
// the model's queue (through the Win32Report* calls below), message boxes,
// the bits per pixel of the display, the high-resolution counter and the
// debug output.
// What the model keeps and a backend never does: the window class, the
// window record and its handles, WM_CREATE inside CreateWindowExA, the size
// message on first showing, the visible and invalid flags, the message queue
// (posted messages, WM_QUIT, WM_PAINT while invalid), TranslateMessage,
// DispatchMessageA, DefWindowProcA, the pixel-format and handle checks.
// Not covered: several windows, mouse input, window styles beyond
// "resizable", GetMessage.
//
// A backend is one constant table of plain functions with state of its own
// in its file; whoever starts the process installs it before the first Win32
// call (the Linux main() installs the SDL2 backend, or the foreign X11 one
// for a hack, before WinMain; tests the scripted one; tunnel-render the
// headless one). Every entry must be set,
// except rateFigures and trace. A backend may attach to a window it does not own (an X
// window given by someone else): then createWindow only attaches, destroyWindow
// only detaches and must leave that window as it found it, setTitle may do
// nothing, messageBox may answer without showing anything, and pumpEvents
// reports close requests (a signal, the foreign window gone) with
// Win32ReportClose and size changes with Win32ReportClientSize.

#include "platform/RateFigures.h"
#include "platform/Win32.h"

#include <cstdint>

#if !defined(_WIN32)

// What CreateWindowExA asks for. The size is the outer one, frame and caption
// included, as Windows takes it; a backend with a frame of its own takes off
// what that frame would cost (see Win32ClientSizeForOuterSize).
struct Win32WindowRequest {
    const char* title;  // never null
    bool defaultPosition;
    int x;
    int y;
    int outerWidth;
    int outerHeight;
    bool resizable;
};

struct Win32Backend {
    const char* name;

    // Makes the window or attaches to one; false, having said why on stderr,
    // when there is none to be had. At most one window at a time.
    bool (*createWindow)(const Win32WindowRequest& request);
    // Takes our window down, or lets go of an attached one.
    void (*destroyWindow)();
    void (*showWindow)(bool visible);
    void (*setTitle)(const char* text);
    // The drawable size now, in pixels.
    void (*clientSize)(int* width, int* height);
    // Takes the pending window-system events and reports them to the model.
    // Called by every PeekMessageA; must not wait.
    void (*pumpEvents)();

    // The box's answer (IDOK, IDCANCEL), or 0 when no box can be shown.
    // owner is the model's window or null.
    int (*messageBox)(HWND owner, const char* text, const char* caption, UINT type);

    // GetDeviceCaps(BITSPIXEL) of the display the window is on.
    int (*colorBits)();
    // The format number ChoosePixelFormat answers for a request, 0 for none.
    // Backends offer one format: the visual of the window.
    int (*choosePixelFormat)(const PIXELFORMATDESCRIPTOR& request);
    // wglCreateContext's result for the window, or null. As with WGL the
    // current context stays, unless the backend has room for one context
    // only (headless), which is current from its creation.
    HGLRC (*createContext)();
    // Makes a context of createContext current on the window; null releases
    // whatever is current.
    bool (*makeCurrent)(HGLRC context);
    bool (*deleteContext)(HGLRC context);
    bool (*swapBuffers)();

    std::int64_t (*counterFrequency)();  // 0: no high-resolution counter
    std::int64_t (*counter)();
    void (*debugOutput)(const char* text);

    // Optional (may be null): takes the rate's figures each time the
    // renderer sets them as the title (ReportRateFigures), for a backend
    // that draws them itself.
    void (*rateFigures)(const RateFigures& figures);

    // Optional (may be null): sees every Win32 call at its start, with its
    // name and up to four arguments as integers (handles and pointers by
    // value); the scripted backend records calls this way.
    void (*trace)(const char* call, std::uintptr_t a, std::uintptr_t b, std::uintptr_t c,
                  std::uintptr_t d);
};

// Every entry set but the optional rateFigures and trace: each backend's table is checked
// with it at compile time, so that a slot added here cannot stay empty there.
constexpr bool Win32BackendComplete(const Win32Backend& backend)
{
    return backend.name != nullptr && backend.createWindow != nullptr &&
           backend.destroyWindow != nullptr && backend.showWindow != nullptr &&
           backend.setTitle != nullptr && backend.clientSize != nullptr &&
           backend.pumpEvents != nullptr && backend.messageBox != nullptr &&
           backend.colorBits != nullptr && backend.choosePixelFormat != nullptr &&
           backend.createContext != nullptr && backend.makeCurrent != nullptr &&
           backend.deleteContext != nullptr && backend.swapBuffers != nullptr &&
           backend.counterFrequency != nullptr && backend.counter != nullptr &&
           backend.debugOutput != nullptr;
}

// The client size Windows would give an overlapped window of this outer size
// (a 4-pixel sizing frame and a 26-pixel caption: 640 x 480 gives 632 x 446),
// at least 1 x 1: what a backend with a frame or a page of its own shows.
void Win32ClientSizeForOuterSize(int outerWidth, int outerHeight, int* clientWidth,
                                 int* clientHeight);

// WM_KEYDOWN's lParam for a key pressed once: a repeat count of 1, and bit
// 30 set when the key was already down (auto-repeat).
constexpr LPARAM Win32KeyDownFlags(bool repeated)
{
    return 1 | (repeated ? (LPARAM{1} << 30) : 0);
}

// A counter for backends that have no high-resolution one of their own: the
// standard library's steady clock, in nanoseconds.
std::int64_t Win32SteadyCounterFrequency();
std::int64_t Win32SteadyCounter();

// Installs the backend for every later Win32 call; the table must outlive
// its use and be complete (Win32BackendComplete). Installing another one while a window exists is not supported.
void Win32InstallBackend(const Win32Backend* backend);

// ---- Calls for a backend's pumpEvents ----

// Queues a message for the window as input does (WM_KEYDOWN, WM_CHAR, ...).
void Win32ReportMessage(UINT message, WPARAM wParam, LPARAM lParam);
// The client size now: a queued WM_SIZE when it differs from the last
// reported, and the window becomes invalid (the class redraws on resize).
void Win32ReportClientSize(int width, int height);
// Minimised: WM_SIZE with SIZE_MINIMIZED and an empty client area.
void Win32ReportMinimized();
// Part of the window must be drawn again.
void Win32ReportExposed();
// The user or the system asks the window to close: a queued WM_CLOSE.
void Win32ReportClose();

// ---- The model's record, for backends and tests ----

HWND Win32ModelWindow();  // null unless a window exists
bool Win32ModelWindowVisible();
bool Win32ModelWindowInvalid();
const char* Win32ModelWindowTitle();  // the last title set, "" at first; a fixed buffer
const WNDCLASSA* Win32ModelClass();   // null until RegisterClassA succeeded
HDC Win32ModelDeviceContext();        // what GetDC hands out

// Back to the state at load: no class, no window, nothing queued. The
// installed backend stays.
void Win32ResetModel();

#endif
