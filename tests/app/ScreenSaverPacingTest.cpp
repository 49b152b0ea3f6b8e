// The saver's frame pacing on its own, with frames that cost nothing: the
// wait alone must hold them to the refresh rate (Wine has no vertical
// blank to wait for, and no context here asks for one).

#include "app/ScreenSaverPacing.h"

#include <gtest/gtest.h>

#include "app/FramePacing.h"

namespace {

std::int64_t Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

TEST(ScreenSaverPacingTest, FramesComeAtMostOncePerRefresh)
{
    HDC screen = GetDC(nullptr);
    ASSERT_NE(nullptr, screen);
    const int refreshRate = RefreshRateOrDefault(GetDeviceCaps(screen, VREFRESH));
    StartSaverPacing(screen);
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    const std::int64_t period = TicksPerRefresh(frequency.QuadPart, refreshRate);

    constexpr int kFrames = 20;
    std::int64_t shown[kFrames];
    for (std::int64_t& time : shown) {
        WaitForNextRefresh();
        time = Now();
        NoteFrameShown();
    }
    StopSaverPacing();
    ReleaseDC(nullptr, screen);

    for (int i = 1; i < kFrames; ++i)
        EXPECT_GE(shown[i] - shown[i - 1], period)
            << "frame " << i << " at " << refreshRate << " Hz";
}

}  // namespace
