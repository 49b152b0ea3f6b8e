// The shell with the real effect, on the scripted window layer and a
// headless GL context: the path from start-up through the rate title and
// Escape to the close request and the end of the loop.

#include <regex>
#include <string>

#include "GlContext.h"
#include "app/FrameClock.h"
#include "app/MessageLoop.h"
#include "app/WinMain.h"
#include "app/WndProc.h"
#include "effect/EffectState.h"
#include "look/LookSettings.h"
#include "scripted/ScriptedBackend.h"

namespace {

using ShellWithEffectTest = GlTestAt<632, 446>;

TEST_F(ShellWithEffectTest, RateTitleThenEscapeRunsTheTunnelOutAndEndsTheProgram)
{
    ScriptedReset();
    ResetEffectStateToLoadValues();
    g_running = false;
    // Exactly 60 frames a second from a 600 kHz counter.
    ScriptedSetCounterFrequency(600000);
    ScriptedSetCounter(1000);
    int escapeAtSwap = 0;
    ScriptedSetSwapHook([&escapeAtSwap](int swaps) {
        ScriptedSetCounter(1000 + 10000LL * swaps);
        if (swaps == 90) {
            escapeAtSwap = swaps;
            ScriptedQueueMessage(WM_KEYDOWN, VK_ESCAPE, 1);
        }
    });
    ScriptedSetPeekLimit(20000);

    char commandLine[] = "";
    EXPECT_EQ(0, WinMain(nullptr, nullptr, commandLine, SW_SHOWNORMAL));

    // The first rate text came after one second: 60 frames in it.
    ASSERT_FALSE(ScriptedWindowTexts().empty());
    const std::string& rate = ScriptedWindowTexts()[0];
    std::smatch match;
    ASSERT_TRUE(
        std::regex_match(rate, match, std::regex(R"(Zelk's little tunnel - 60 fps \((\d+) tri\))")))
        << rate;
    const int triangles = std::stoi(match[1]);
    EXPECT_EQ(0, triangles % 128);
    EXPECT_GT(triangles, 0);
    // The same figures, as numbers, went to the backend with each title.
    ASSERT_EQ(ScriptedWindowTexts().size(), ScriptedRateFigures().size());
    EXPECT_EQ(60.0, ScriptedRateFigures()[0].framesPerSecond);
    EXPECT_EQ(triangles, ScriptedRateFigures()[0].triangles);

    // Escape stopped new rings; the tunnel ran out at 31.25 rings a second,
    // then the close request ended the loop.
    ASSERT_EQ(90, escapeAtSwap);
    const int swaps = ScriptedCallCount("SwapBuffers");
    EXPECT_GT(swaps, escapeAtSwap);
    EXPECT_LT(swaps, escapeAtSwap + 60 * 5);
    ASSERT_FALSE(ScriptedPostedMessages().empty());
    const MSG& close = ScriptedPostedMessages().back();
    EXPECT_EQ(static_cast<UINT>(WM_CLOSE), close.message);
    EXPECT_EQ(nullptr, ScriptedWindow());
    EXPECT_EQ(1, ScriptedCallCount("wglDeleteContext"));
    EXPECT_FALSE(g_running);
}

// A look set before the start is in place by the first frame: the whole
// tunnel is rippled and coarse from its first ring, and the keys still work
// on top of it.
TEST_F(ShellWithEffectTest, TheLookIsTypedBeforeTheFirstFrame)
{
    ScriptedReset();
    ResetEffectStateToLoadValues();
    g_running = false;
    g_look = LookSettings{};
    g_look.shape = LookShape::kRippled;
    g_look.speedSteps = 2;
    g_look.quadsPerRing = 8;
    ScriptedSetCounterFrequency(600000);
    ScriptedSetCounter(1000);
    int rippleAtFirstSwap = -1;
    int polyStepAtFirstSwap = -1;
    float speedAtFirstSwap = 0.0f;
    int polyStepAtLastSwap = -1;
    ScriptedSetSwapHook([&](int swaps) {
        ScriptedSetCounter(1000 + 10000LL * swaps);
        if (swaps == 1) {
            rippleAtFirstSwap = g_rippleShape;
            polyStepAtFirstSwap = g_polyStep;
            speedAtFirstSwap = g_speed;
            ScriptedQueueMessage(WM_CHAR, '4', 1);
        } else if (swaps == 2) {
            polyStepAtLastSwap = g_polyStep;
            ScriptedQueueMessage(WM_CLOSE, 0, 0);
        }
    });
    ScriptedSetPeekLimit(20000);

    char commandLine[] = "";
    EXPECT_EQ(0, WinMain(nullptr, nullptr, commandLine, SW_SHOWNORMAL));
    g_look = LookSettings{};

    EXPECT_EQ(1, rippleAtFirstSwap);
    EXPECT_EQ(8, polyStepAtFirstSwap);
    EXPECT_GT(speedAtFirstSwap, kInitialSpeed);
    EXPECT_EQ(1, polyStepAtLastSwap);
}

}  // namespace
