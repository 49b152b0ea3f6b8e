// Its own executable: it replaces the global allocation functions to count
// what RenderFrame allocates. The window calls go to the window model over
// the headless backend, which keeps the title in a fixed buffer, so a frame
// that shows the rate is counted whole.

#include <string>

#include "AllocationCounter.h"
#include "GlContext.h"
#include "effect/EffectRenderer.h"
#include "effect/EffectState.h"
#include "platform/Win32Backend.h"
#include "headless/HeadlessBackend.h"

namespace {

using RendererAllocation = GlTestAt<640, 480>;

TEST(RendererAllocationCount, SeesAnAllocationOnThisThread)
{
    ResetAllocationCount();
    StartCountingAllocations(AllocationScope::ThisThread);
    // Volatile: a new whose pointer never escapes may be left out altogether.
    int* volatile probe = new int(7);
    StopCountingAllocations();
    delete probe;
    EXPECT_EQ(1, AllocationCount());
}

// Five seconds of frames at 60 a second, five rate displays among them,
// keys changing the detail and the shape between frames: nothing allocated.
TEST_F(RendererAllocation, FramesAllocateNothing)
{
    ResetEffectStateToLoadValues();
    std::string noReason;
    ASSERT_TRUE(StartHeadlessBackend(HeadlessOptions{}, &noReason));
    Win32ResetModel();
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "alloc";
    ASSERT_NE(0, RegisterClassA(&windowClass));
    g_hwnd = CreateWindowExA(0, "alloc", "", 0, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, g_hwnd);
    g_clientWidth = 640;
    g_clientHeight = 480;
    ASSERT_TRUE(InitEffect());
    // The driver builds its shader variants over the first few frames; let it.
    for (int n = 0; n < 10; ++n) {
        g_time = static_cast<float>(n / 60.0);
        g_deltaTime = n == 0 ? 0.0f : static_cast<float>(1.0 / 60.0);
        RenderFrame();
    }
    const char keys[] = {'1', ' ', '4', '+', '3', ' ', '-'};
    ResetAllocationCount();
    for (int n = 10; n < 310; ++n) {
        if (n % 40 == 0) {
            HandleKey(static_cast<unsigned char>(keys[(n / 40) % sizeof keys]));
        }
        g_time = static_cast<float>(n / 60.0);
        g_deltaTime = static_cast<float>(1.0 / 60.0);
        StartCountingAllocations(AllocationScope::ThisThread);
        RenderFrame();
        StopCountingAllocations();
    }
    EXPECT_EQ(0, AllocationCount());
    EXPECT_STREQ("Zelk's little tunnel - 60 fps (",
                 std::string(Win32ModelWindowTitle()).substr(0, 31).c_str());
}

}  // namespace
