#include "app/FrameClock.h"

#include <cmath>

#include "FloatBits.h"
#include "ShellStateReset.h"

// Reading the counter; the arithmetic on what is read is tested in
// FrameTimeTest.cpp, without a window layer.

namespace {

class FrameClockTest : public ::testing::Test {
protected:
    void SetUp() override { ResetShellState(); }
};

TEST_F(FrameClockTest, StartReadsTheFrequencyAndTheStartCount)
{
    ScriptedSetCounterFrequency(10000000);
    ScriptedSetCounter(123456789);
    StartFrameClock();
    EXPECT_EQ(10000000, g_counterFrequency);
    EXPECT_EQ(123456789, g_counterStart);
    ScriptedSetCounter(123456789 + 5000000);
    AdvanceFrameClock();
    EXPECT_EQ(123456789 + 5000000, g_counterNow);
    EXPECT_SAME_FLOAT(0.5f, g_time);
}

TEST_F(FrameClockTest, WithoutACounterFrequencyTheSteadyClockServes)
{
    ScriptedSetCounterFrequency(0);
    ScriptedSetCounter(777);
    StartFrameClock();
    EXPECT_EQ(kFallbackCounterFrequency, g_counterFrequency);
    EXPECT_NE(777, g_counterStart);
    AdvanceFrameClock();
    const float first = g_time;
    AdvanceFrameClock();
    EXPECT_TRUE(std::isfinite(g_time));
    EXPECT_GE(g_time, first);
    EXPECT_GE(g_deltaTime, 0.0f);
    EXPECT_LT(g_time, 60.0f);  // seconds of test, not garbage
    EXPECT_NE(777, g_counterNow);
}

}  // namespace
