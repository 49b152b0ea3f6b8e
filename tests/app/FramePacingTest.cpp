#include "app/FramePacing.h"

#include <gtest/gtest.h>

namespace {

TEST(FramePacingTest, RefreshPeriodInTicksAndTheSleepUntilIt)
{
    // 0 and 1 are Windows' "default rate"; anything else is taken as given.
    EXPECT_EQ(60, RefreshRateOrDefault(0));
    EXPECT_EQ(60, RefreshRateOrDefault(1));
    EXPECT_EQ(75, RefreshRateOrDefault(75));
    EXPECT_EQ(2, RefreshRateOrDefault(2));

    // Windows' usual 10 MHz counter: 166,667 ticks at 60 Hz (166,666.67
    // rounded up, so 60 such frames never fit in a second), 69,445 at 144.
    EXPECT_EQ(166667, TicksPerRefresh(10000000, 60));
    EXPECT_EQ(69445, TicksPerRefresh(10000000, 144));
    EXPECT_EQ(1000, TicksPerRefresh(60000, 60));

    // Rounded up to whole milliseconds; nothing once due.
    EXPECT_EQ(0u, MillisecondsUntil(500, 500, 10000000));
    EXPECT_EQ(0u, MillisecondsUntil(900, 500, 10000000));
    EXPECT_EQ(1u, MillisecondsUntil(0, 1, 10000000));
    EXPECT_EQ(1u, MillisecondsUntil(0, 10000, 10000000));
    EXPECT_EQ(2u, MillisecondsUntil(0, 10001, 10000000));
    EXPECT_EQ(17u, MillisecondsUntil(0, 166667, 10000000));
    EXPECT_EQ(12u, MillisecondsUntil(40000, 156000, 10000000));
    // Huge gaps with a fast counter neither overflow nor reach INFINITE.
    EXPECT_EQ(3000000000u, MillisecondsUntil(0, 3000000000000000, 1000000000));
    EXPECT_EQ(0xFFFFFFFEu, MillisecondsUntil(0, INT64_MAX, 1000));
}

TEST(FramePacingTest, ExtensionMatchesWholeNamesOnly)
{
    const char* list = "WGL_ARB_extensions_string WGL_EXT_swap_control_tear WGL_EXT_swap_control";
    EXPECT_TRUE(ExtensionListed(list, "WGL_EXT_swap_control"));
    EXPECT_TRUE(ExtensionListed(list, "WGL_ARB_extensions_string"));
    EXPECT_FALSE(ExtensionListed("WGL_EXT_swap_control_tear", "WGL_EXT_swap_control"));
    EXPECT_FALSE(ExtensionListed("XWGL_EXT_swap_control", "WGL_EXT_swap_control"));
    EXPECT_FALSE(ExtensionListed("WGL_EXT_swap", "WGL_EXT_swap_control"));
    EXPECT_TRUE(ExtensionListed("WGL_EXT_swap_control ", "WGL_EXT_swap_control"));
    EXPECT_FALSE(ExtensionListed(nullptr, "WGL_EXT_swap_control"));
    EXPECT_FALSE(ExtensionListed("", "WGL_EXT_swap_control"));
    EXPECT_FALSE(ExtensionListed(list, ""));
}

}  // namespace
