#include "x11/HackPacing.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

constexpr std::int64_t kMillisecond = 1000000;

TEST(HackPacingTest, FramesStartADelayAfterThePreviousStartDrawingIncluded)
{
    HackPacing pacing = HackPacingFor(30000);
    EXPECT_EQ(30 * kMillisecond, pacing.delayNanoseconds);
    // The first frame waits for nothing.
    EXPECT_EQ(5 * kMillisecond, NextFrameStart(pacing, 5 * kMillisecond));
    StartHackFrame(&pacing, 5 * kMillisecond);
    // Drawn in 20 ms: the wait is the 10 ms left, not another 30.
    EXPECT_EQ(35 * kMillisecond, NextFrameStart(pacing, 25 * kMillisecond));
    EXPECT_EQ(35 * kMillisecond, NextFrameStart(pacing, 35 * kMillisecond));
    StartHackFrame(&pacing, 35 * kMillisecond);
    EXPECT_EQ(65 * kMillisecond, NextFrameStart(pacing, 36 * kMillisecond));
}

TEST(HackPacingTest, ALateFrameStartsAtOnceAndTheCountStartsAnew)
{
    HackPacing pacing = HackPacingFor(30000);
    StartHackFrame(&pacing, 0);
    // Stopped for 5 s: no burst of the 166 frames missed.
    const std::int64_t resumed = 5000 * kMillisecond;
    EXPECT_EQ(resumed, NextFrameStart(pacing, resumed));
    StartHackFrame(&pacing, resumed);
    EXPECT_EQ(resumed + 30 * kMillisecond, NextFrameStart(pacing, resumed + kMillisecond));
}

TEST(HackPacingTest, NoDelayNeverWaitsAndOutOfRangeDelaysAreClamped)
{
    HackPacing fast = HackPacingFor(0);
    StartHackFrame(&fast, 100);
    EXPECT_EQ(101, NextFrameStart(fast, 101));

    HackPacing negative = HackPacingFor(-5);
    EXPECT_EQ(0, negative.delayNanoseconds);

    // A delay of longer than a century waits a century, without overflow.
    HackPacing forever = HackPacingFor(0x7fffffffffffffffL);
    StartHackFrame(&forever, 0);
    EXPECT_GT(NextFrameStart(forever, 1), 3000000000LL * 1000000000LL);
}

}  // namespace
