#include "x11/X11Backend.h"

#include "platform/ReportError.h"
#include "platform/Win32Backend.h"
#include "x11/HackPacing.h"
#include "x11/X11ForeignWindow.h"
#include "x11/X11RateOverlay.h"

#include <time.h>

#include <cerrno>
#include <csignal>

namespace {

X11ForeignWindow g_foreign;
X11RateOverlay g_overlay;
bool g_attached = false;
bool g_showRate = false;
RateFigures g_rate;
bool g_rateKnown = false;  // else no figures came yet (the first second)
HackPacing g_pacing;
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

// A window that is not ours keeps its name; the rate comes as figures.
void SetTitleForeignX11(const char* /*text*/) {}

void RateFiguresForeignX11(const RateFigures& figures)
{
    g_rate = figures;
    g_rateKnown = true;
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
    // The warning icon shares a bit with the error icon.
    if ((type & MB_ICONMASK) == MB_ICONERROR)
        ReportError(kForeignX11Name, "%s: %s", caption, text);
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
    ForgetRateOverlay(&g_foreign, &g_overlay);
    DeleteForeignContext(&g_foreign);
    return true;
}

std::int64_t MonotonicNanoseconds()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Sleeps until the next frame may start (HackPacing.h). SIGTERM and SIGINT
// cut the wait short.
void WaitForNextFrame()
{
    const std::int64_t wake = NextFrameStart(g_pacing, MonotonicNanoseconds());
    timespec until;
    until.tv_sec = static_cast<time_t>(wake / 1000000000);
    until.tv_nsec = static_cast<long>(wake % 1000000000);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR &&
           g_stopSignalled == 0) {
    }
    StartHackFrame(&g_pacing, MonotonicNanoseconds());
}

bool SwapBuffersForeignX11()
{
    if (!g_attached)
        return false;
    if (g_showRate && g_rateKnown && !g_foreign.gone)
        DrawRateOverlay(&g_foreign, &g_overlay, g_rate);
    PresentForeignFrame(&g_foreign);
    WaitForNextFrame();
    return true;
}

void DebugOutputForeignX11(const char* /*text*/)
{
    // A hack says nothing unless asked to.
}

constexpr Win32Backend kForeignX11Backend = {
    .name = kForeignX11Name,
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
    .rateFigures = RateFiguresForeignX11,
    .trace = nullptr,
};
static_assert(Win32BackendComplete(kForeignX11Backend));

}  // namespace

bool StartForeignX11Backend(const ForeignX11Options& options, std::string* reason)
{
    if (!OpenForeignWindow(options.windowId, &g_foreign, reason))
        return false;
    g_showRate = options.showRate;
    g_rateKnown = false;
    g_pacing = HackPacingFor(options.delayMicroseconds);
    g_stopSignalled = 0;
    CatchStopSignals();
    Win32InstallBackend(&kForeignX11Backend);
    return true;
}

void StopForeignX11Backend()
{
    g_attached = false;
    ForgetRateOverlay(&g_foreign, &g_overlay);
    CloseForeignWindow(&g_foreign);
}
