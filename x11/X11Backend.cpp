#include "x11/X11Backend.h"

#include "platform/Win32Backend.h"
#include "x11/X11ForeignWindow.h"
#include "x11/X11RateOverlay.h"

#include <time.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

namespace {

X11ForeignWindow g_foreign;
X11RateOverlay g_overlay;
bool g_attached = false;
bool g_showRate = false;
char g_rateText[64] = "";  // the figures of the last rate title
long g_delayMicroseconds = 0;
timespec g_frameStart = {};   // when the last frame's wait ended
bool g_frameStarted = false;  // else the first frame is still being drawn
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

// The rate title is "<name> - <rate> fps (<count> tri)"; the overlay shows
// what follows the name. Other titles (the window's name) are not rates.
void SetTitleForeignX11(const char* text)
{
    const char* figures = std::strstr(text, " - ");
    if (g_showRate && figures != nullptr)
        std::snprintf(g_rateText, sizeof g_rateText, "%s", figures + 3);
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
    ForgetRateOverlay(&g_foreign, &g_overlay);
    DeleteForeignContext(&g_foreign);
    return true;
}

// XScreenSaver's pacing: a hack sleeps so that frames start at most every
// delay microseconds, counted from the end of the previous wait. A frame
// that comes late (a slow frame, a SIGSTOP) starts the count anew instead
// of being caught up with a burst. SIGTERM and SIGINT cut the wait short.
void WaitForNextFrame()
{
    if (g_delayMicroseconds > 0 && g_frameStarted) {
        timespec wake = g_frameStart;
        const long long nanoseconds = wake.tv_nsec + g_delayMicroseconds * 1000LL;
        wake.tv_sec += static_cast<time_t>(nanoseconds / 1000000000);
        wake.tv_nsec = static_cast<long>(nanoseconds % 1000000000);
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &wake, nullptr) == EINTR &&
               g_stopSignalled == 0) {
        }
    }
    clock_gettime(CLOCK_MONOTONIC, &g_frameStart);
    g_frameStarted = true;
}

bool SwapBuffersForeignX11()
{
    if (!g_attached)
        return false;
    if (g_showRate && g_rateText[0] != '\0' && !g_foreign.gone)
        DrawRateOverlay(&g_foreign, &g_overlay, g_rateText);
    PresentForeignFrame(&g_foreign);
    WaitForNextFrame();
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

bool StartForeignX11Backend(unsigned long windowId, bool showRate, long delayMicroseconds,
                            std::string* reason)
{
    if (!OpenForeignWindow(windowId, &g_foreign, reason))
        return false;
    g_showRate = showRate;
    g_rateText[0] = '\0';
    g_delayMicroseconds = delayMicroseconds;
    g_frameStarted = false;
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
