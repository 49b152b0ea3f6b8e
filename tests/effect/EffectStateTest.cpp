#include "effect/EffectState.h"

#include <cfloat>
#include <cmath>

#include "FloatBits.h"

namespace {

float F(double value)
{
    return static_cast<float>(value);
}

// The state as the program loads, copied before main (and so before any
// test changes it): the state's globals are constant-initialised, which
// happens before this file's dynamic initialisation. Taken here, the check
// holds whatever order the tests run in, one process or many.
struct LoadValues {
    float focal, speed, travel;
    int polyStep, rippleShape, stopRequested, ringCount, lastBuiltRing, frameCount;
    bool lastRateTimeSet;
    bool hwndNull;
};
const LoadValues kAtLoad = {g_focal,       g_speed,           g_travel,         g_polyStep,
                            g_rippleShape, g_stopRequested,   g_ringCount,      g_lastBuiltRing,
                            g_frameCount,  g_lastRateTimeSet, g_hwnd == nullptr};

TEST(EffectStateAtLoad, MatchesTheDocumentedStartingValues)
{
    EXPECT_SAME_FLOAT(2.0f, kAtLoad.focal);
    EXPECT_SAME_FLOAT(0.0f, kAtLoad.speed);
    EXPECT_SAME_FLOAT(0.0f, kAtLoad.travel);
    EXPECT_EQ(0, kAtLoad.polyStep);
    EXPECT_EQ(0, kAtLoad.rippleShape);
    EXPECT_EQ(0, kAtLoad.stopRequested);
    EXPECT_EQ(0, kAtLoad.ringCount);
    EXPECT_EQ(0, kAtLoad.lastBuiltRing);
    EXPECT_EQ(0, kAtLoad.frameCount);
    EXPECT_FALSE(kAtLoad.lastRateTimeSet);
    EXPECT_TRUE(kAtLoad.hwndNull);
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
    const std::uintptr_t ignored[] = {0,
                                      26,
                                      28,
                                      31,
                                      33,
                                      41,
                                      44,
                                      46,
                                      48,
                                      53,
                                      57,
                                      61,
                                      65,
                                      97,
                                      127,
                                      255,
                                      256,
                                      27 + 256,
                                      '+' + 0x10000,
                                      ~std::uintptr_t{0}};
    for (std::uintptr_t code : ignored) {
        HandleKey(code);
    }
    EXPECT_SAME_FLOAT(2.0f, g_focal);
    EXPECT_SAME_FLOAT(8000.0f, g_speed);
    EXPECT_EQ(1, g_polyStep);
    EXPECT_EQ(0, g_rippleShape);
    EXPECT_EQ(0, g_stopRequested);
}

struct FactorKey {
    std::uintptr_t key;
    float factor;
    bool divides;
};

bool IsNormal(float value)
{
    return value >= FLT_MIN && value <= FLT_MAX;
}

// Presses the key until a press changes nothing and returns how many counted.
// Each counted press must give the double-then-float result, a normal float;
// the press that changes nothing, one whose result would not be.
int PressUntilItStops(const FactorKey& press, const float& value)
{
    for (int presses = 0; presses < 5000; ++presses) {
        const float before = value;
        const double wide = static_cast<double>(before);
        const float plain = F(press.divides ? wide / press.factor : wide * press.factor);
        HandleKey(press.key);
        if (FloatBits(value) == FloatBits(before)) {
            EXPECT_FALSE(IsNormal(plain)) << "stopped at " << before << " after " << presses;
            return presses;
        }
        if (FloatBits(value) != FloatBits(plain) || !IsNormal(value)) {
            ADD_FAILURE() << "press " << presses + 1 << " from " << before << " gave " << value
                          << "; expected the plain result " << plain << ", a normal float";
            return -1;
        }
    }
    ADD_FAILURE() << "the key never stops";
    return -1;
}

// Up to the bound, down all the way to the other one, and up again: the
// opposite key always moves the value back.
TEST_F(HandleKeyTest, SpeedStaysNormalAtBothEndsAndTheOppositeKeyComesBack)
{
    const FactorKey up{'+', 1.4141f, false};
    const FactorKey down{'-', 1.4141f, true};
    EXPECT_GT(PressUntilItStops(up, g_speed), 200);
    EXPECT_GT(PressUntilItStops(down, g_speed), 450);
    EXPECT_GT(PressUntilItStops(up, g_speed), 450);
}

TEST_F(HandleKeyTest, FocalStaysNormalAtBothEndsAndTheOppositeKeyComesBack)
{
    const FactorKey up{'*', 1.1f, false};
    const FactorKey down{'/', 1.1f, true};
    EXPECT_GT(PressUntilItStops(down, g_focal), 800);
    EXPECT_GT(PressUntilItStops(up, g_focal), 1700);
    EXPECT_GT(PressUntilItStops(down, g_focal), 1700);
}

}  // namespace
