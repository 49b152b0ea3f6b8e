#include "effect/EffectState.h"

#include <cfloat>
#include <cmath>
#include <limits>

#include "FloatBits.h"

namespace {

float F(double value) { return static_cast<float>(value); }

// Runs first in its own process under CTest: the values as the program loads.
TEST(EffectStateAtLoad, MatchesTheDocumentedStartingValues)
{
    EXPECT_SAME_FLOAT(2.0f, g_focal);
    EXPECT_SAME_FLOAT(0.0f, g_speed);
    EXPECT_SAME_FLOAT(0.0f, g_travel);
    EXPECT_EQ(0, g_polyStep);
    EXPECT_EQ(0, g_rippleShape);
    EXPECT_EQ(0, g_stopRequested);
    EXPECT_EQ(0, g_ringCount);
    EXPECT_EQ(0, g_lastBuiltRing);
    EXPECT_EQ(0, g_frameCount);
    EXPECT_FALSE(g_lastRateTimeSet);
    EXPECT_EQ(nullptr, g_hwnd);
}

class HandleKeyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetEffectStateToLoadValues();
        g_speed = 8000.0f;  // as after set-up
        g_polyStep = 1;
        g_lastBuiltRing = -1;
    }
};

TEST_F(HandleKeyTest, FactorsAreTheSinglePrecisionConstants)
{
    HandleKey('+');
    EXPECT_SAME_FLOAT(11312.80078125f, g_speed);  // 1.4141f, not the square root of two
    HandleKey('-');
    EXPECT_SAME_FLOAT(F(static_cast<double>(11312.80078125f) / 1.4141f), g_speed);

    HandleKey('*');
    EXPECT_SAME_FLOAT(F(2.0 * static_cast<double>(1.1f)), g_focal);
    HandleKey('/');
    EXPECT_SAME_FLOAT(F(static_cast<double>(F(2.0 * 1.1f)) / 1.1f), g_focal);
}

TEST_F(HandleKeyTest, DigitsSetPolygonStepAndSpaceToggles)
{
    HandleKey('4');
    EXPECT_EQ(1, g_polyStep);
    HandleKey('1');
    EXPECT_EQ(8, g_polyStep);
    HandleKey('2');
    EXPECT_EQ(4, g_polyStep);
    HandleKey('3');
    EXPECT_EQ(2, g_polyStep);
    HandleKey('4');
    EXPECT_EQ(1, g_polyStep);

    HandleKey(' ');
    EXPECT_EQ(1, g_rippleShape);
    HandleKey(' ');
    EXPECT_EQ(0, g_rippleShape);

    HandleKey(27);
    HandleKey(27);
    EXPECT_EQ(1, g_stopRequested);
}

TEST_F(HandleKeyTest, CharactersOutsideTheTableChangeNothing)
{
    // Neighbours of every handled code, letters, other digits, "=" and codes
    // beyond a byte: none may touch the state.
    const std::uintptr_t ignored[] = {0,   26,  28,  31,  33,  41,  44,  46,   48,
                                      53,  57,  61,  65,  97,  127, 255, 256,  27 + 256,
                                      '+' + 0x10000, ~std::uintptr_t{0}};
    for (std::uintptr_t code : ignored) {
        HandleKey(code);
    }
    EXPECT_SAME_FLOAT(2.0f, g_focal);
    EXPECT_SAME_FLOAT(8000.0f, g_speed);
    EXPECT_EQ(1, g_polyStep);
    EXPECT_EQ(0, g_rippleShape);
    EXPECT_EQ(0, g_stopRequested);
}

TEST_F(HandleKeyTest, RepeatedPlusReachesInfinityAndStaysThere)
{
    int presses = 0;
    while (!std::isinf(g_speed) && presses < 1000) {
        HandleKey('+');
        ++presses;
    }
    EXPECT_TRUE(std::isinf(g_speed));
    EXPECT_GT(g_speed, 0.0f);
    EXPECT_LT(presses, 300);
    HandleKey('-');
    EXPECT_TRUE(std::isinf(g_speed)) << "no key brings an infinite speed back";

    for (int i = 0; i < 1000; ++i) HandleKey('*');
    EXPECT_TRUE(std::isinf(g_focal));
    HandleKey('/');
    EXPECT_TRUE(std::isinf(g_focal));
}

TEST_F(HandleKeyTest, RepeatedMinusSinksToTinyDenormalsNeverBelow)
{
    // Near the bottom of the denormals a division by 1.4141 or 1.1 rounds back
    // up to where it started, so the values come to rest on a tiny positive
    // denormal: never zero, never negative, and no key revives them.
    const float smallest = std::numeric_limits<float>::denorm_min();
    for (int i = 0; i < 2000; ++i) {
        HandleKey('-');
        ASSERT_GT(g_speed, 0.0f) << "after " << i + 1 << " presses";
        HandleKey('/');
        ASSERT_GT(g_focal, 0.0f) << "after " << i + 1 << " presses";
    }
    // n * smallest / 1.4141 rounds back to n only for n = 1; for 1.1 up to n = 5.
    EXPECT_SAME_FLOAT(smallest, g_speed);
    EXPECT_LE(g_focal, 5.0f * smallest);
    const float restingFocal = g_focal;
    HandleKey('-');
    HandleKey('/');
    EXPECT_SAME_FLOAT(smallest, g_speed);
    EXPECT_SAME_FLOAT(restingFocal, g_focal);
    HandleKey('+');
    EXPECT_SAME_FLOAT(smallest, g_speed);  // 1.4141 * smallest rounds back down
}

}  // namespace
