#include "platform/Win32ForeignX11.h"

#include "platform/Win32Backend.h"
#include "platform/X11ForeignWindow.h"

#include <csignal>
#include <cstdio>

namespace {

X11ForeignWindow g_foreign;
bool g_attached = false;
bool g_printRate = false;
bool g_closeReported = false;
volatile std::sig_atomic_t g_stopSignalled = 0;

void OnStopSignal(int /*signal*/)
{
    g_stopSignalled = 1;
}

void CatchStopSignals()
{
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

bool CreateWindowForeignX11(const Win32WindowRequest& /*request*/)
{
    // Attached when the backend started; the title and size asked for do
    // not apply to a window that is not ours.
    if (g_attached || g_foreign.display == nullptr)
        return false;
    g_attached = true;
    g_closeReported = false;
    return true;
}

void DestroyWindowForeignX11()
{
    g_attached = false;
    CloseForeignWindow(&g_foreign);
}

void ShowWindowForeignX11(bool /*visible*/) {}

void SetTitleForeignX11(const char* text)
{
    if (!g_printRate)
        return;
    std::puts(text);
    std::fflush(stdout);
}

void ClientSizeForeignX11(int* width, int* height)
{
    *width = g_foreign.width;
    *height = g_foreign.height;
}

void PumpEventsForeignX11()
{
    if (!g_attached)
        return;
    if (PollForeignWindow(&g_foreign))
        Win32ReportClientSize(g_foreign.width, g_foreign.height);
    if ((g_foreign.gone || g_stopSignalled) && !g_closeReported) {
        g_closeReported = true;
        Win32ReportClose();
    }
}

int MessageBoxForeignX11(HWND /*owner*/, const char* text, const char* caption, UINT type)
{
    constexpr UINT kIconBits = 0xF0;  // the warning icon shares a bit with the error icon
    if ((type & kIconBits) == MB_ICONERROR)
        std::fprintf(stderr, "%s: %s\n", caption, text);
    return IDOK;
}

int ColorBitsForeignX11()
{
    return g_foreign.depth;
}

int ChoosePixelFormatForeignX11(const PIXELFORMATDESCRIPTOR& /*request*/)
{
    return 1;  // the window's own visual, the only one it can have
}

HGLRC CreateContextForeignX11()
{
    if (!g_attached || !CreateForeignContext(&g_foreign))
        return nullptr;
    return static_cast<HGLRC>(g_foreign.context);
}

bool MakeCurrentForeignX11(HGLRC context)
{
    if (g_foreign.display == nullptr)
        return context == nullptr;
    if (context == nullptr)
        return MakeForeignContextCurrent(&g_foreign, false);
    return context == g_foreign.context && MakeForeignContextCurrent(&g_foreign, true);
}

bool DeleteContextForeignX11(HGLRC context)
{
    if (context == nullptr || context != g_foreign.context)
        return false;
    DeleteForeignContext(&g_foreign);
    return true;
}

bool SwapBuffersForeignX11()
{
    if (!g_attached)
        return false;
    PresentForeignFrame(&g_foreign);
    return true;
}

void DebugOutputForeignX11(const char* /*text*/)
{
    // A hack says nothing unless asked to.
}

constexpr Win32Backend kForeignX11Backend = {
    .name = "foreign-x11",
    .createWindow = CreateWindowForeignX11,
    .destroyWindow = DestroyWindowForeignX11,
    .showWindow = ShowWindowForeignX11,
    .setTitle = SetTitleForeignX11,
    .clientSize = ClientSizeForeignX11,
    .pumpEvents = PumpEventsForeignX11,
    .messageBox = MessageBoxForeignX11,
    .colorBits = ColorBitsForeignX11,
    .choosePixelFormat = ChoosePixelFormatForeignX11,
    .createContext = CreateContextForeignX11,
    .makeCurrent = MakeCurrentForeignX11,
    .deleteContext = DeleteContextForeignX11,
    .swapBuffers = SwapBuffersForeignX11,
    .counterFrequency = Win32SteadyCounterFrequency,
    .counter = Win32SteadyCounter,
    .debugOutput = DebugOutputForeignX11,
    .trace = nullptr,
};
static_assert(Win32BackendComplete(kForeignX11Backend));

}  // namespace

bool StartForeignX11Backend(unsigned long windowId, bool printRate, std::string* reason)
{
    if (!OpenForeignWindow(windowId, &g_foreign, reason))
        return false;
    g_printRate = printRate;
    g_stopSignalled = 0;
    CatchStopSignals();
    Win32InstallBackend(&kForeignX11Backend);
    return true;
}

void StopForeignX11Backend()
{
    g_attached = false;
    CloseForeignWindow(&g_foreign);
}
