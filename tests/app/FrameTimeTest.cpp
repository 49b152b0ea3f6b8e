#include "app/FrameTime.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <cstdint>

#include "FloatBits.h"
#include "effect/EffectState.h"

namespace {

// The plain arithmetic, without the rebase: 64-bit tick difference, double
// quotient, float time, delta from the exact time and the rounded previous.
struct PlainClock {
    float time = 0.0f;
    float delta = 0.0f;
    void Step(LONGLONG now, LONGLONG start, LONGLONG frequency)
    {
        const float previous = time;
        const double t = static_cast<double>(now - start) / static_cast<double>(frequency);
        time = static_cast<float>(t);
        delta = static_cast<float>(t - static_cast<double>(previous));
    }
};

// Deterministic frame lengths around a mean, +-25%, so rounding is exercised
// at many different phases.
class FrameTicks {
public:
    explicit FrameTicks(LONGLONG mean) : mean_(mean) {}
    LONGLONG Next()
    {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        const LONGLONG spread = mean_ / 2;
        return mean_ - spread / 2 +
               static_cast<LONGLONG>((state_ >> 33) % static_cast<std::uint64_t>(spread + 1));
    }

private:
    LONGLONG mean_;
    std::uint64_t state_ = 12345;
};

class FrameTimeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetEffectStateToLoadValues();
        g_counterFrequency = 0;
        g_counterStart = 0;
        g_counterNow = 0;
    }
};

TEST_F(FrameTimeTest, FirstFrameDeltaIsTheWholeTimeSinceTheStart)
{
    g_counterFrequency = 10000000;
    g_counterStart = 5000000000;  // counters do not start at zero
    g_counterNow = g_counterStart + 3333333;
    UpdateFrameTime();
    EXPECT_SAME_FLOAT(static_cast<float>(0.3333333), g_time);
    EXPECT_SAME_FLOAT(g_time, g_deltaTime);
}

TEST_F(FrameTimeTest, DeltaRunsFromTheRoundedPreviousTimeToTheExactTime)
{
    g_counterFrequency = 3;
    g_counterNow = 1;  // 1/3 s, rounded as a float
    UpdateFrameTime();
    g_counterNow = 2;
    UpdateFrameTime();
    EXPECT_SAME_FLOAT(
        static_cast<float>(2.0 / 3.0 - static_cast<double>(static_cast<float>(1.0 / 3.0))),
        g_deltaTime);
    EXPECT_NE(FloatBits(static_cast<float>(1.0 / 3.0)), FloatBits(g_deltaTime));
}

TEST_F(FrameTimeTest, FirstHalfHourAt5000FpsIsBitIdenticalToThePlainArithmetic)
{
    g_counterFrequency = 10000000;
    g_counterStart = 987654321;
    PlainClock plain;
    FrameTicks ticks(g_counterFrequency / 5000);
    LONGLONG now = g_counterStart;
    const LONGLONG end = g_counterStart + 1800 * g_counterFrequency;
    long frames = 0;
    while (now < end) {
        now += ticks.Next();
        g_counterNow = now;
        UpdateFrameTime();
        plain.Step(now, 987654321, g_counterFrequency);
        // Plain comparisons first: nine million gtest assertions are slow.
        if (FloatBits(plain.time) != FloatBits(g_time) ||
            FloatBits(plain.delta) != FloatBits(g_deltaTime)) {
            EXPECT_SAME_FLOAT(plain.time, g_time) << "frame " << frames;
            EXPECT_SAME_FLOAT(plain.delta, g_deltaTime) << "frame " << frames;
            return;
        }
        ++frames;
    }
    EXPECT_GT(frames, 8900000);
    EXPECT_EQ(987654321, g_counterStart);  // no rebase yet
}

// Half the spacing of floats below 2048 s: the rounding error the plain
// arithmetic already has in its first half hour.
constexpr double kDeltaTolerance = 1.0 / 16384.0;

class LongRunTest : public FrameTimeTest, public ::testing::WithParamInterface<LONGLONG> {};

TEST_P(LongRunTest, ThirtyDaysAt5000FpsKeepDeltasAccurateAndNeverNegative)
{
    const LONGLONG frequency = GetParam();
    g_counterFrequency = frequency;
    g_counterStart = 42;
    g_lastRateTimeSet = true;
    FrameTicks ticks(frequency / 5000);
    const LONGLONG thirtyDays = 30LL * 86400 * frequency;

    LONGLONG now = 42;
    double worstError = 0.0;
    long frames = 0;
    long rebasesCrossed = 0;
    // Sample the run: every 6 hours of counted time, run 20000 frames that
    // straddle the next rebase point, so each sample crosses one.
    for (LONGLONG sample = 0; sample <= thirtyDays; sample += 6LL * 3600 * frequency) {
        const LONGLONG sampleStart = 42 + sample;
        if (sampleStart > now) {
            // The gap: one long frame, as after a stall.
            const LONGLONG gap = sampleStart - now;
            now = sampleStart;
            g_counterNow = now;
            UpdateFrameTime();
            const double trueDelta = static_cast<double>(gap) / static_cast<double>(frequency);
            ASSERT_NEAR(trueDelta, g_deltaTime, trueDelta * 1e-6 + kDeltaTolerance);
        }
        // Run on to 2 s before the next rebase point, then through it.
        const LONGLONG untilRebase =
            g_counterStart + kRebaseAfterSeconds * frequency - 2 * frequency - now;
        if (untilRebase > 0) {
            now += untilRebase;
            g_counterNow = now;
            UpdateFrameTime();
        }
        const LONGLONG startBefore = g_counterStart;
        for (int i = 0; i < 20000; ++i) {
            const LONGLONG step = ticks.Next();
            now += step;
            g_counterNow = now;
            UpdateFrameTime();
            const double trueDelta = static_cast<double>(step) / static_cast<double>(frequency);
            const double error = std::fabs(static_cast<double>(g_deltaTime) - trueDelta);
            worstError = std::max(worstError, error);
            // g_time stays where floats resolve the frame.
            if (g_deltaTime < 0.0f || error > kDeltaTolerance ||
                g_time >= static_cast<float>(kRebaseAfterSeconds + 1)) {
                const double day =
                    static_cast<double>(sample) / static_cast<double>(frequency) / 86400.0;
                ASSERT_GE(g_deltaTime, 0.0f) << "day " << day;
                ASSERT_LE(error, kDeltaTolerance) << "day " << day;
                ASSERT_LT(g_time, static_cast<float>(kRebaseAfterSeconds + 1)) << "day " << day;
            }
            ++frames;
        }
        rebasesCrossed += g_counterStart != startBefore ? 1 : 0;
    }
    EXPECT_EQ(121, rebasesCrossed);
    EXPECT_GT(frames, 2000000);
    // The time since the start stays recoverable: base plus g_time.
    const double counted =
        static_cast<double>(g_counterStart - 42) / static_cast<double>(frequency) +
        static_cast<double>(g_time);
    EXPECT_NEAR(static_cast<double>(now - 42) / static_cast<double>(frequency), counted, 1e-3);
    RecordProperty("worst_delta_error_us", std::to_string(worstError * 1e6));
}

// Windows' usual counter rate, and a nanosecond one.
INSTANTIATE_TEST_SUITE_P(CounterRates, LongRunTest, ::testing::Values(10000000LL, 1000000000LL));

TEST_F(FrameTimeTest, PlainArithmeticAfterDaysWouldJitterAndRunBackwards)
{
    // Why the clock rebases: at day 3, floats are 1/64 s apart, so a 0.2 ms
    // frame's plain delta is either about 0 or negative, or far too long.
    PlainClock plain;
    const LONGLONG frequency = 10000000;
    LONGLONG now = 3LL * 86400 * frequency;
    plain.Step(now, 0, frequency);
    bool sawNegative = false;
    for (int i = 0; i < 200; ++i) {
        now += 2000;
        plain.Step(now, 0, frequency);
        sawNegative = sawNegative || plain.delta < 0.0f;
    }
    EXPECT_TRUE(sawNegative);

    // The same frames through the frame clock.
    g_counterFrequency = frequency;
    g_counterNow = 3LL * 86400 * frequency;
    UpdateFrameTime();
    for (int i = 0; i < 200; ++i) {
        g_counterNow += 2000;
        UpdateFrameTime();
        ASSERT_NEAR(0.0002, g_deltaTime, kDeltaTolerance);
    }
}

TEST_F(FrameTimeTest, RebaseKeepsTheRatePeriodAndItsStart)
{
    const LONGLONG frequency = 10000000;
    g_counterFrequency = frequency;
    g_counterNow = 2047 * frequency + frequency / 2;  // 2047.5 s
    UpdateFrameTime();
    g_lastRateTimeSet = true;
    g_lastRateTime = g_time;  // a rate period starts here

    g_counterNow += frequency;  // 2048.5 s: past the rebase point
    UpdateFrameTime();
    EXPECT_EQ(1024 * frequency, g_counterStart);
    EXPECT_SAME_FLOAT(1024.5f, g_time);
    EXPECT_SAME_FLOAT(1023.5f, g_lastRateTime);
    EXPECT_SAME_FLOAT(1.0f, g_deltaTime);
    EXPECT_EQ(1.0, static_cast<double>(g_time) - static_cast<double>(g_lastRateTime));
}

TEST_F(FrameTimeTest, ACounterThatBarelyMovedNeverGivesANegativeDelta)
{
    g_counterFrequency = 10000000;
    g_counterNow = 10000001;  // 1.0000001 s, which rounds up as a float
    UpdateFrameTime();
    ASSERT_GT(static_cast<double>(g_time), 1.0000001);
    UpdateFrameTime();  // same count again
    EXPECT_SAME_FLOAT(0.0f, g_deltaTime);
    g_counterNow -= 5;  // a counter stepping back
    UpdateFrameTime();
    EXPECT_SAME_FLOAT(0.0f, g_deltaTime);
}

TEST_F(FrameTimeTest, AClockNeverStartedDoesNotDivideByZero)
{
    g_counterNow = 1000;
    UpdateFrameTime();
    EXPECT_SAME_FLOAT(0.0f, g_time);
    EXPECT_SAME_FLOAT(0.0f, g_deltaTime);
}

}  // namespace
