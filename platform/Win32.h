#pragma once

// The window layer: the part of the Win32 API that the program calls, and
// nothing more. On Windows this header only pulls in <windows.h> and the GL
// header. Elsewhere it declares the same names with Win32's signatures, and
// the window model (Win32Window.cpp) implements them once over a backend
// installed at run time (Win32Backend.h): SDL2 for the program's window,
// foreign X11 for another program's window (the XScreenSaver hack), headless
// for tunnel-render and the frame-rate benchmark, scripted for the tests.
//
// What it emulates: one window of one registered class; a per-thread message
// queue with posted messages, WM_QUIT and a WM_PAINT generated while the
// window is invalid and nothing else is queued; WM_CREATE delivered inside
// CreateWindowExA; one WM_SIZE before the window is first shown and on every
// resize; WM_CLOSE destroying the window by default; typed characters as
// WM_CHAR with the codes a Windows keyboard gives.
// What it does not: several windows or classes, message filters in
// PeekMessageA (only a null window and a 0..0 range), sent messages from
// other threads, WM_MOVE, mouse input, menus, window styles beyond the title
// bar and resizing, real pixel-format enumeration (there is one format),
// update regions (the whole client area is valid or invalid), GetMessage.
//
// Over SDL2 the window manager owns the frame, so the outer size given to
// CreateWindowExA loses a nominal Windows frame (4-pixel borders, 26-pixel
// caption): 640 x 480 gives the 632 x 446 client area Windows would give.
// With TUNNEL_WIN32_TRACE set, the SDL2 backend writes each message box's
// caption, type and text to standard error, for tests that cannot read the
// box's pixels.

#include "platform/Win32Types.h"

#if defined(_WIN32)

#include <GL/gl.h>

#else

#include <GL/gl.h>

// Messages.
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_SIZE 0x0005
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_ERASEBKGND 0x0014
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_CHAR 0x0102

// Virtual keys that TranslateMessage turns into characters.
#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_RETURN 0x0D
#define VK_ESCAPE 0x1B

// Class and window styles.
#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002
#define CS_OWNDC 0x0020
#define WS_OVERLAPPED 0x00000000L
#define WS_CAPTION 0x00C00000L
#define WS_SYSMENU 0x00080000L
#define WS_THICKFRAME 0x00040000L
#define WS_MINIMIZEBOX 0x00020000L
#define WS_MAXIMIZEBOX 0x00010000L
#define WS_OVERLAPPEDWINDOW \
    (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)
#define WS_CLIPSIBLINGS 0x04000000L
#define WS_CLIPCHILDREN 0x02000000L
#define CW_USEDEFAULT ((int)0x80000000)
#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_SHOW 5

// PeekMessageA.
#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001

// MessageBoxA.
#define MB_OK 0x00000000L
#define MB_OKCANCEL 0x00000001L
#define MB_ICONERROR 0x00000010L
#define MB_ICONWARNING 0x00000030L
#define MB_TYPEMASK 0x0000000FL
#define MB_ICONMASK 0x000000F0L
#define IDOK 1
#define IDCANCEL 2

// Resources.
#define MAKEINTRESOURCEA(i) ((LPCSTR)((std::uintptr_t)((WORD)(i))))
#define IDC_ARROW MAKEINTRESOURCEA(32512)

// GetDeviceCaps.
#define BITSPIXEL 12

// Pixel formats.
#define PFD_DOUBLEBUFFER 0x00000001
#define PFD_DRAW_TO_WINDOW 0x00000004
#define PFD_SUPPORT_OPENGL 0x00000020
#define PFD_DEPTH_DONTCARE 0x20000000
#define PFD_TYPE_RGBA 0
#define PFD_MAIN_PLANE 0

#define LOWORD(l) ((WORD)(((std::uintptr_t)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((std::uintptr_t)(l)) >> 16) & 0xffff))
#define MAKELPARAM(l, h) ((LPARAM)(DWORD)((WORD)(l) | ((DWORD)((WORD)(h)) << 16)))

typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);

struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
};

struct POINT {
    LONG x;
    LONG y;
};

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};

struct PIXELFORMATDESCRIPTOR {
    WORD nSize;
    WORD nVersion;
    DWORD dwFlags;
    BYTE iPixelType;
    BYTE cColorBits;
    BYTE cRedBits;
    BYTE cRedShift;
    BYTE cGreenBits;
    BYTE cGreenShift;
    BYTE cBlueBits;
    BYTE cBlueShift;
    BYTE cAlphaBits;
    BYTE cAlphaShift;
    BYTE cAccumBits;
    BYTE cAccumRedBits;
    BYTE cAccumGreenBits;
    BYTE cAccumBlueBits;
    BYTE cAccumAlphaBits;
    BYTE cDepthBits;
    BYTE cStencilBits;
    BYTE cAuxBuffers;
    BYTE iLayerType;
    BYTE bReserved;
    DWORD dwLayerMask;
    DWORD dwVisibleMask;
    DWORD dwDamageMask;
};
static_assert(sizeof(PIXELFORMATDESCRIPTOR) == 40, "Win32 declares a 40-byte record");

// Window manager.
ATOM RegisterClassA(const WNDCLASSA* windowClass);
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param);
BOOL DestroyWindow(HWND window);
BOOL ShowWindow(HWND window, int showCommand);
BOOL UpdateWindow(HWND window);
BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
BOOL ValidateRect(HWND window, const RECT* rect);
BOOL SetWindowTextA(HWND window, LPCSTR text);
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR cursorName);
HDC GetDC(HWND window);

// Graphics device interface.
int GetDeviceCaps(HDC deviceContext, int index);
int ChoosePixelFormat(HDC deviceContext, const PIXELFORMATDESCRIPTOR* request);
BOOL SetPixelFormat(HDC deviceContext, int format, const PIXELFORMATDESCRIPTOR* request);
BOOL SwapBuffers(HDC deviceContext);

// WGL.
HGLRC wglCreateContext(HDC deviceContext);
BOOL wglMakeCurrent(HDC deviceContext, HGLRC renderContext);
BOOL wglDeleteContext(HGLRC renderContext);

// Kernel.
BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency);
BOOL QueryPerformanceCounter(LARGE_INTEGER* count);
void OutputDebugStringA(LPCSTR text);

// The program's entry; the platform's main() calls it and returns its result.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine,
                   int showCommand);

#endif
