#include "app/ScreenSaverPacing.h"

#include <mmsystem.h>

#include "app/FramePacing.h"

namespace {

using SwapIntervalProc = BOOL(WINAPI*)(int);
using ExtensionsStringProc = const char*(WINAPI*)(HDC);
using ExtensionsStringExtProc = const char*(WINAPI*)();

std::int64_t g_pacingFrequency = 0;
std::int64_t g_refreshTicks = 0;
std::int64_t g_lastFrameShown = 0;
bool g_frameShown = false;
bool g_timerRaised = false;

std::int64_t CounterNow()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

// The WGL extension list, from whichever query the driver offers.
const char* WglExtensions(HDC deviceContext)
{
    const auto arb = reinterpret_cast<ExtensionsStringProc>(
        reinterpret_cast<void*>(wglGetProcAddress("wglGetExtensionsStringARB")));
    if (arb != nullptr)
        return arb(deviceContext);
    const auto ext = reinterpret_cast<ExtensionsStringExtProc>(
        reinterpret_cast<void*>(wglGetProcAddress("wglGetExtensionsStringEXT")));
    return ext != nullptr ? ext() : nullptr;
}

void AskForVerticalBlank(HDC deviceContext)
{
    if (!ExtensionListed(WglExtensions(deviceContext), "WGL_EXT_swap_control"))
        return;
    const auto swapInterval = reinterpret_cast<SwapIntervalProc>(
        reinterpret_cast<void*>(wglGetProcAddress("wglSwapIntervalEXT")));
    if (swapInterval != nullptr)
        swapInterval(1);
}

}  // namespace

void StartSaverPacing(HDC deviceContext)
{
    AskForVerticalBlank(deviceContext);
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    g_pacingFrequency = frequency.QuadPart;
    const int refreshRate = RefreshRateOrDefault(GetDeviceCaps(deviceContext, VREFRESH));
    g_refreshTicks = g_pacingFrequency > 0 ? TicksPerRefresh(g_pacingFrequency, refreshRate) : 0;
    g_frameShown = false;
    g_timerRaised = timeBeginPeriod(1) == TIMERR_NOERROR;
}

void WaitForNextRefresh()
{
    if (!g_frameShown || g_refreshTicks == 0)
        return;
    const std::int64_t due = g_lastFrameShown + g_refreshTicks;
    for (std::uint32_t wait = MillisecondsUntil(CounterNow(), due, g_pacingFrequency); wait > 0;
         wait = MillisecondsUntil(CounterNow(), due, g_pacingFrequency)) {
        Sleep(wait);
    }
}

void NoteFrameShown()
{
    g_lastFrameShown = CounterNow();
    g_frameShown = true;
}

void StopSaverPacing()
{
    if (g_timerRaised)
        timeEndPeriod(1);
    g_timerRaised = false;
}
