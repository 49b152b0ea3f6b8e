#include "web/WebBackend.h"

#include "platform/Win32Backend.h"

#include <EGL/egl.h>

#include <cstdint>
#include <cstdio>

// The page's side (WebBackend.js).
extern "C" {
void WebOpenCanvas(int width, int height);
void WebCloseCanvas();
int WebHasCanvas();
void WebShowCanvas(int visible);
void WebCanvasSize(int* width, int* height);
int WebTakeEvent(int* kind, int* a, int* b);
void WebSetTitle(const char* text);
int WebShowMessageBox(const char* text, const char* caption, int withCancel, int icon);
void WebWaitForFrame();
double WebCounterMicroseconds();
void WebDebugOutput(const char* text);
}

namespace {

enum WebEventKind {
    kWebCharacter = 1,
    kWebKeyDown = 2,
    kWebClientSize = 3,
    kWebContextRestored = 4,
    kWebPicture = 5
};

struct WebGl {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLSurface surface = EGL_NO_SURFACE;
    EGLContext context = EGL_NO_CONTEXT;
};

WebGl g_webGl;
bool g_canvasOpen = false;
void (*g_rebuildGl)() = nullptr;
void (*g_showPicture)(const char* path) = nullptr;

bool CreateEglContext();
void ReplaceLostContext();

bool CreateWindowWeb(const Win32WindowRequest& request)
{
    int width = 0;
    int height = 0;
    Win32ClientSizeForOuterSize(request.outerWidth, request.outerHeight, &width, &height);
    WebOpenCanvas(width, height);
    WebSetTitle(request.title);  // the tab's title is the window's
    g_canvasOpen = true;
    return true;
}

void DestroyWindowWeb()
{
    if (g_canvasOpen)
        WebCloseCanvas();
    g_canvasOpen = false;
}

void ShowWindowWeb(bool visible)
{
    WebShowCanvas(visible ? 1 : 0);
}

void SetTitleWeb(const char* text)
{
    WebSetTitle(text);
}

void ClientSizeWeb(int* width, int* height)
{
    WebCanvasSize(width, height);
}

void PumpEventsWeb()
{
    int kind = 0;
    int a = 0;
    int b = 0;
    while (WebTakeEvent(&kind, &a, &b) != 0) {
        switch (kind) {
        case kWebCharacter:
            Win32ReportMessage(WM_CHAR, static_cast<WPARAM>(a), 1);
            break;
        case kWebKeyDown:
            // Repeat count 1; bit 30 says the key was already down.
            Win32ReportMessage(WM_KEYDOWN, static_cast<WPARAM>(a), Win32KeyDownFlags(b != 0));
            break;
        case kWebClientSize:
            Win32ReportClientSize(a, b);
            break;
        case kWebContextRestored:
            ReplaceLostContext();
            break;
        case kWebPicture:
            if (g_showPicture != nullptr) {
                char path[32];
                std::snprintf(path, sizeof path, "/viewer-picture-%d", a);
                g_showPicture(path);
            }
            break;
        default:
            break;
        }
    }
}

int MessageBoxWeb(HWND, const char* text, const char* caption, UINT type)
{
    const bool withCancel = (type & MB_TYPEMASK) == MB_OKCANCEL;
    const int icon = static_cast<int>(type & MB_ICONMASK);
    return WebShowMessageBox(text, caption, withCancel ? 1 : 0, icon);
}

int ColorBitsWeb()
{
    return 32;
}

int ChoosePixelFormatWeb(const PIXELFORMATDESCRIPTOR&)
{
    return 1;
}

// Through EGL, which also sets up Emscripten's GL emulation on the context.
bool CreateEglContext()
{
    const EGLint configWanted[] = {EGL_RED_SIZE,   8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8,
                                   EGL_ALPHA_SIZE, 0, EGL_DEPTH_SIZE, 0, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configCount = 0;
    if (!eglChooseConfig(g_webGl.display, configWanted, &config, 1, &configCount) ||
        configCount < 1)
        return false;
    g_webGl.surface = eglCreateWindowSurface(g_webGl.display, config, 0, nullptr);
    const EGLint contextWanted[] = {EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE};
    g_webGl.context = eglCreateContext(g_webGl.display, config, EGL_NO_CONTEXT, contextWanted);
    if (g_webGl.surface == EGL_NO_SURFACE || g_webGl.context == EGL_NO_CONTEXT) {
        g_webGl.context = EGL_NO_CONTEXT;
        return false;
    }
    return true;
}

// The browser gave the canvas its context back with nothing in it: every GL
// object of the old one is gone. The shell keeps its handle; behind it the
// emulation starts afresh, and the effect builds its GL state again.
void ReplaceLostContext()
{
    if (g_webGl.context == EGL_NO_CONTEXT)
        return;
    const EGLContext shellHandle = g_webGl.context;
    eglMakeCurrent(g_webGl.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(g_webGl.display, g_webGl.context);
    if (!CreateEglContext() || g_webGl.context != shellHandle) {
        WebDebugOutput("zelk-tunnel: the WebGL context could not be made again");
        return;
    }
    eglMakeCurrent(g_webGl.display, g_webGl.surface, g_webGl.surface, g_webGl.context);
    if (g_rebuildGl != nullptr)
        g_rebuildGl();
}

HGLRC CreateContextWeb()
{
    if (g_webGl.context != EGL_NO_CONTEXT)
        return nullptr;  // one context at a time
    g_webGl.display = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    if (g_webGl.display == EGL_NO_DISPLAY || !eglInitialize(g_webGl.display, nullptr, nullptr))
        return nullptr;
    if (!CreateEglContext())
        return nullptr;
    return reinterpret_cast<HGLRC>(g_webGl.context);
}

bool MakeCurrentWeb(HGLRC context)
{
    if (context == nullptr)
        return eglMakeCurrent(g_webGl.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT) ==
               EGL_TRUE;
    if (reinterpret_cast<EGLContext>(context) != g_webGl.context)
        return false;
    return eglMakeCurrent(g_webGl.display, g_webGl.surface, g_webGl.surface, g_webGl.context) ==
           EGL_TRUE;
}

bool DeleteContextWeb(HGLRC context)
{
    if (context == nullptr || reinterpret_cast<EGLContext>(context) != g_webGl.context)
        return false;
    eglDestroyContext(g_webGl.display, g_webGl.context);
    g_webGl.context = EGL_NO_CONTEXT;
    return true;
}

bool SwapBuffersWeb()
{
    if (g_webGl.context == EGL_NO_CONTEXT)
        return false;
    eglSwapBuffers(g_webGl.display, g_webGl.surface);
    WebWaitForFrame();
    return true;
}

std::int64_t CounterFrequencyWeb()
{
    return 1000000;
}

std::int64_t CounterWeb()
{
    return static_cast<std::int64_t>(WebCounterMicroseconds());
}

void DebugOutputWeb(const char* text)
{
    WebDebugOutput(text);
}

constexpr Win32Backend kWebBackend = {
    .name = "web",
    .createWindow = CreateWindowWeb,
    .destroyWindow = DestroyWindowWeb,
    .showWindow = ShowWindowWeb,
    .setTitle = SetTitleWeb,
    .clientSize = ClientSizeWeb,
    .pumpEvents = PumpEventsWeb,
    .messageBox = MessageBoxWeb,
    .colorBits = ColorBitsWeb,
    .choosePixelFormat = ChoosePixelFormatWeb,
    .createContext = CreateContextWeb,
    .makeCurrent = MakeCurrentWeb,
    .deleteContext = DeleteContextWeb,
    .swapBuffers = SwapBuffersWeb,
    .counterFrequency = CounterFrequencyWeb,
    .counter = CounterWeb,
    .debugOutput = DebugOutputWeb,
    .rateFigures = nullptr,
    .trace = nullptr,
};
static_assert(Win32BackendComplete(kWebBackend));

}  // namespace

void SetWebGlRebuilder(void (*rebuild)())
{
    g_rebuildGl = rebuild;
}

void SetWebPictureHandler(void (*show)(const char* path))
{
    g_showPicture = show;
}

bool StartWebBackend(std::string* reason)
{
    if (WebHasCanvas() == 0) {
        *reason = "the page has no canvas (Module.canvas)";
        return false;
    }
    Win32InstallBackend(&kWebBackend);
    return true;
}

void StopWebBackend()
{
    DestroyWindowWeb();
}
