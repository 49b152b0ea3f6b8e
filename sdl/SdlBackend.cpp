// The window backend over SDL2 (see Win32Backend.h and SdlBackend.h).

#include "sdl/SdlBackend.h"

#include "platform/ReportError.h"
#include "platform/Win32Backend.h"
#include "sdl/SdlInput.h"
#include "sdl/SdlXErrors.h"

#include <SDL.h>

#include <csignal>
#include <cstdio>
#include <cstring>

#include <pthread.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

SDL_Window* g_window = nullptr;
// Why the window can have no GL context, when its making said so; "" else.
std::string g_glFailure;

// The layer's trace (TUNNEL_WIN32_TRACE set to anything): message-box
// texts on standard error, like a debugger's view of the calls. Besides it,
// this backend reads SDL_VIDEODRIVER and WAYLAND_DISPLAY (StartSdlBackend);
// the Linux main() reads XSCREENSAVER_WINDOW.
bool TraceEnabled()
{
    static const bool enabled = SDL_getenv("TUNNEL_WIN32_TRACE") != nullptr;
    return enabled;
}

constexpr char kName[] = "sdl2";

void ReportSdlError(const char* call)
{
    ReportError(kName, "%s: %s", call, SDL_GetError());
}

// ---- Message boxes ----
//
// SDL shows an X11 box in a forked child and, should that fail, tries other
// ways (zenity) whose errors replace the first one. While a box is up the
// child ends with us (a SIGTERM must not leave the box on screen), and the
// first error SDL reports, in either process, is kept in memory both share.

constexpr std::size_t kBoxErrorSize = 512;
char* g_boxError = nullptr;  // the first one SDL reported; shared with the box's child
volatile bool g_boxShowing = false;
pid_t g_boxParent = 0;

void EndWithParent()
{
    if (!g_boxShowing)
        return;
    prctl(PR_SET_PDEATHSIG, SIGKILL);  // the box has nothing to save
    if (getppid() != g_boxParent)
        _exit(1);  // the parent ended before the request took hold
}

struct LogOutput {
    SDL_LogOutputFunction function;
    void* data;
};

void KeepFirstError(void* previous, int category, SDL_LogPriority priority, const char* message)
{
    if (category == SDL_LOG_CATEGORY_ERROR) {
        if (g_boxError[0] == '\0')
            std::snprintf(g_boxError, kBoxErrorSize, "%s", message);
        return;
    }
    const LogOutput* forward = static_cast<const LogOutput*>(previous);
    if (forward->function != nullptr)
        forward->function(forward->data, category, priority, message);
}

bool PrepareBoxGuards()
{
    static bool prepared = false;
    if (prepared)
        return true;
    void* shared =
        mmap(nullptr, kBoxErrorSize, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (shared == MAP_FAILED || pthread_atfork(nullptr, nullptr, EndWithParent) != 0)
        return false;
    g_boxError = static_cast<char*>(shared);
    prepared = true;
    return true;
}

int ShowBox(const SDL_MessageBoxData& box, int* chosen)
{
    if (!PrepareBoxGuards())
        return SDL_ShowMessageBox(&box, chosen);
    g_boxError[0] = '\0';
    LogOutput previous{nullptr, nullptr};
    SDL_LogGetOutputFunction(&previous.function, &previous.data);
    const SDL_LogPriority previousPriority = SDL_LogGetPriority(SDL_LOG_CATEGORY_ERROR);
    SDL_LogSetPriority(SDL_LOG_CATEGORY_ERROR, SDL_LOG_PRIORITY_DEBUG);
    SDL_LogSetOutputFunction(KeepFirstError, &previous);
    g_boxParent = getpid();
    g_boxShowing = true;
    const int result = SDL_ShowMessageBox(&box, chosen);
    g_boxShowing = false;
    SDL_LogSetOutputFunction(previous.function, previous.data);
    SDL_LogSetPriority(SDL_LOG_CATEGORY_ERROR, previousPriority);
    return result;
}

// ---- The backend's entries ----

bool CreateWindowSdl(const Win32WindowRequest& request)
{
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
    Win32ClientSizeForOuterSize(request.outerWidth, request.outerHeight, &clientWidth,
                                &clientHeight);
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (request.resizable)
        flags |= SDL_WINDOW_RESIZABLE;
    // SDL loads the GL driver here and tries a context of its own: where the
    // driver cannot work, the window stays but gets none (CreateContextSdl).
    StartKeepingXErrors();
    g_window = SDL_CreateWindow(request.title,
                                request.defaultPosition ? SDL_WINDOWPOS_UNDEFINED : request.x,
                                request.defaultPosition ? SDL_WINDOWPOS_UNDEFINED : request.y,
                                clientWidth, clientHeight, flags);
    g_glFailure = StopKeepingXErrors(g_window);
    if (g_window == nullptr) {
        ReportSdlError("SDL_CreateWindow");
        return false;
    }
    SDL_StartTextInput();
    return true;
}

void DestroyWindowSdl()
{
    SDL_DestroyWindow(g_window);
    g_window = nullptr;
    g_glFailure.clear();
}

void ShowWindowSdl(bool visible)
{
    if (visible)
        SDL_ShowWindow(g_window);
    else
        SDL_HideWindow(g_window);
}

void SetTitleSdl(const char* text)
{
    SDL_SetWindowTitle(g_window, text);
}

void ClientSizeSdl(int* width, int* height)
{
    SDL_GL_GetDrawableSize(g_window, width, height);
}

void ReportDrawableSize()
{
    int width = 0;
    int height = 0;
    ClientSizeSdl(&width, &height);
    Win32ReportClientSize(width, height);
}

void TranslateWindowEvent(const SDL_WindowEvent& event)
{
    if (event.windowID != SDL_GetWindowID(g_window))
        return;
    switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
        Win32ReportClose();
        break;
    case SDL_WINDOWEVENT_EXPOSED:
        Win32ReportExposed();
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
        ReportDrawableSize();
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        Win32ReportMinimized();
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
            Win32ReportMessage(WM_KEYDOWN, virtualKey, Win32KeyDownFlags(event.key.repeat != 0));
        }
        break;
    }
    case SDL_TEXTINPUT: {
        WPARAM codes[SDL_TEXTINPUTEVENT_TEXT_SIZE];
        const int count =
            CharacterCodesForText(event.text.text, codes, SDL_TEXTINPUTEVENT_TEXT_SIZE);
        for (int i = 0; i < count; ++i)
            Win32ReportMessage(WM_CHAR, codes[i], 1);
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

void PumpEventsSdl()
{
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        if (g_window != nullptr)
            TranslateEvent(event);
    }
}

int MessageBoxSdl(HWND owner, const char* text, const char* caption, UINT type)
{
    if (TraceEnabled()) {
        // The box's text drawn on screen is not readable by tests; this is.
        std::fprintf(stderr, "MessageBoxA: owner %s, type 0x%x, caption \"%s\", text:\n%s\n--\n",
                     owner != nullptr ? "window" : "none", type, caption, text);
        std::fflush(stderr);
    }
    const SdlMessageBoxLayout layout = MessageBoxLayoutFor(type);
    SDL_MessageBoxData box{};
    box.flags = layout.flags;
    box.window = owner != nullptr ? g_window : nullptr;
    box.title = caption;
    box.message = text;
    box.numbuttons = layout.buttonCount;
    box.buttons = layout.buttons;
    box.colorScheme = nullptr;
    int chosen = -1;
    if (ShowBox(box, &chosen) != 0) {
        const char* reason =
            g_boxError != nullptr && g_boxError[0] != '\0' ? g_boxError : SDL_GetError();
        ReportError(kName, "cannot show a message box: %s", reason);
        return 0;  // MessageBoxA's failure result
    }
    return MessageBoxAnswer(layout, chosen);
}

int ColorBitsSdl()
{
    SDL_DisplayMode mode;
    const int display = SDL_GetWindowDisplayIndex(g_window);
    if (SDL_GetCurrentDisplayMode(display >= 0 ? display : 0, &mode) != 0)
        return 0;
    // Bits per pixel as stored, as Windows counts them: 32 for 8-bit RGB.
    return SDL_BYTESPERPIXEL(mode.format) * 8;
}

// The one format offered: the window's own double-buffered RGBA visual.
int ChoosePixelFormatSdl(const PIXELFORMATDESCRIPTOR& request)
{
    const DWORD needed = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    return request.iPixelType == PFD_TYPE_RGBA && (request.dwFlags & needed) == needed ? 1 : 0;
}

HGLRC CreateContextSdl()
{
    if (!g_glFailure.empty()) {
        ReportError(kName, "no GL on the window: %s", g_glFailure.c_str());
        return nullptr;
    }
    // SDL makes a new context current; WGL does not, so restore what was.
    SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
    SDL_GLContext previousContext = SDL_GL_GetCurrentContext();
    StartKeepingXErrors();
    SDL_GLContext context = SDL_GL_CreateContext(g_window);
    if (context != nullptr)
        SDL_GL_MakeCurrent(previousContext != nullptr ? previousWindow : g_window, previousContext);
    const std::string xError = StopKeepingXErrors(g_window);
    if (context == nullptr) {
        ReportSdlError("SDL_GL_CreateContext");
        return nullptr;
    }
    if (!xError.empty()) {
        ReportError(kName, "SDL_GL_CreateContext: %s", xError.c_str());
        SDL_GL_DeleteContext(context);
        return nullptr;
    }
    return reinterpret_cast<HGLRC>(context);
}

bool MakeCurrentSdl(HGLRC context)
{
    SDL_Window* window = context != nullptr ? g_window : SDL_GL_GetCurrentWindow();
    if (window == nullptr)
        return context == nullptr;  // nothing current to release
    StartKeepingXErrors();
    const bool made = SDL_GL_MakeCurrent(window, reinterpret_cast<SDL_GLContext>(context)) == 0;
    const std::string xError = StopKeepingXErrors(window);
    if (!xError.empty())
        ReportError(kName, "SDL_GL_MakeCurrent: %s", xError.c_str());
    return made && xError.empty();
}

bool DeleteContextSdl(HGLRC context)
{
    SDL_GL_DeleteContext(reinterpret_cast<SDL_GLContext>(context));
    return true;
}

bool SwapBuffersSdl()
{
    SDL_GL_SwapWindow(g_window);
    return true;
}

std::int64_t CounterFrequencySdl()
{
    return static_cast<std::int64_t>(SDL_GetPerformanceFrequency());
}

std::int64_t CounterSdl()
{
    return static_cast<std::int64_t>(SDL_GetPerformanceCounter());
}

void DebugOutputSdl(const char* text)
{
    std::fputs(text, stderr);
    std::fflush(stderr);
}

constexpr Win32Backend kSdlBackend = {
    .name = kName,
    .createWindow = CreateWindowSdl,
    .destroyWindow = DestroyWindowSdl,
    .showWindow = ShowWindowSdl,
    .setTitle = SetTitleSdl,
    .clientSize = ClientSizeSdl,
    .pumpEvents = PumpEventsSdl,
    .messageBox = MessageBoxSdl,
    .colorBits = ColorBitsSdl,
    .choosePixelFormat = ChoosePixelFormatSdl,
    .createContext = CreateContextSdl,
    .makeCurrent = MakeCurrentSdl,
    .deleteContext = DeleteContextSdl,
    .swapBuffers = SwapBuffersSdl,
    .counterFrequency = CounterFrequencySdl,
    .counter = CounterSdl,
    .debugOutput = DebugOutputSdl,
    .rateFigures = nullptr,
    .trace = nullptr,
};
static_assert(Win32BackendComplete(kSdlBackend));

}  // namespace

bool StartSdlBackend(std::string* reason)
{
    // Ctrl+C and SIGTERM keep their default effect instead of becoming a quit event.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Without a named driver SDL would fall back to "offscreen" or "dummy": a
    // program drawing forever where nobody can see it or close it.
    const char* named = SDL_getenv("SDL_VIDEODRIVER");
    const bool driverNamed = named != nullptr && *named != '\0';
    // Wayland only where a session names its display: a connection attempt
    // without one prints a complaint of libwayland's of its own.
    const char* waylandDisplay = SDL_getenv("WAYLAND_DISPLAY");
    const bool wayland = waylandDisplay != nullptr && *waylandDisplay != '\0';
    if (!driverNamed)
        SDL_SetHint(SDL_HINT_VIDEODRIVER, wayland ? "x11,wayland" : "x11");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        *reason = driverNamed ? SDL_GetError()
                              : NoWindowSystemReason(SDL_getenv("DISPLAY"), waylandDisplay);
        return false;
    }
    Win32InstallBackend(&kSdlBackend);
    return true;
}

void StopSdlBackend()
{
    SDL_Quit();
}
