#include "effect/Travel.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "FloatBits.h"
#include "effect/EffectState.h"
#include "effect/RingTable.h"
#include "effect/TunnelBuilder.h"

// The travel step over long runs, driven frame by frame without waiting.

namespace {

void StartAfterSetUp()
{
    ResetEffectStateToLoadValues();
    ResetFlight();
}

// Every speed the keys can reach from the start: each "+" multiplies, each
// "-" divides, until a press would leave the normal floats and does nothing.
std::vector<float> KeyReachableSpeeds()
{
    std::vector<float> speeds;
    g_speed = kInitialSpeed;
    for (float last = -1.0f; g_speed != last;) {
        last = g_speed;
        speeds.push_back(g_speed);
        HandleKey(kKeySpeedUp);
    }
    g_speed = kInitialSpeed;
    for (float last = -1.0f; g_speed != last;) {
        last = g_speed;
        HandleKey(kKeySpeedDown);
        speeds.push_back(g_speed);
    }
    return speeds;
}

// What a frame should move: delta times speed, as far as the effect allows.
double ExpectedStep(float deltaTime, float speed)
{
    const double step = static_cast<double>(deltaTime) * static_cast<double>(speed);
    if (!(step > 0.0)) {
        return 0.0;
    }
    return std::fmin(step, kMaxTravelStep);
}

// Follows the travel across rebases: the distance really covered, and the
// builder's argument as if it had never been moved back.
class TravelWatch {
public:
    // Starts from the current travel; the first advance is measured from
    // its integer part, which the previous frame's argument may miss by one.
    TravelWatch()
        : startTravel_(g_travel),
          startCarry_(g_travelCarry),
          lastArgument_(static_cast<std::int32_t>(g_travel)),
          lastUnwrapped_(lastArgument_)
    {}

    // Returns how far the builder's argument advanced this frame.
    double Observe(std::int32_t argument)
    {
        if (argument < lastArgument_ - kTravelRebaseShift / 2) {
            ++rebases_;
        }
        const double unwrapped = argument + rebases_ * kTravelRebaseShift;
        const double advance = unwrapped - lastUnwrapped_;
        lastArgument_ = argument;
        lastUnwrapped_ = unwrapped;
        return advance;
    }

    // Travel covered since the watch started, carry included.
    double Moved() const
    {
        return (static_cast<double>(g_travel) - startTravel_ + rebases_ * kTravelRebaseShift) +
               (g_travelCarry - startCarry_);
    }

    int Rebases() const { return rebases_; }

private:
    double startTravel_;
    double startCarry_;
    std::int32_t lastArgument_;
    double lastUnwrapped_;
    int rebases_ = 0;
};

// The state must stay where every conversion is defined and the float is fine.
::testing::AssertionResult TravelInRange(std::int32_t argument)
{
    if (!(g_travel >= 0.0f && g_travel <= kTravelRebaseThreshold) || argument < 0 ||
        argument > kTravelRebaseThreshold || !(std::fabs(g_travelCarry) <= 1.0)) {
        return ::testing::AssertionFailure()
               << "travel " << g_travel << ", carry " << g_travelCarry << ", argument " << argument;
    }
    return ::testing::AssertionSuccess();
}

// Runs half an hour of 1 ms frames at the default speed, each frame's delta
// from deltaOf(frame), and checks every frame against the plain float
// arithmetic: the same g_travel bits and the same builder argument.
template <typename DeltaOf>
void ExpectPlainArithmeticForHalfAnHour(DeltaOf deltaOf)
{
    StartAfterSetUp();
    const std::int64_t frames = 1800 * 1000;
    float plainTravel = 0.0f;
    std::int64_t mismatches = 0;
    std::int64_t firstMismatch = -1;
    for (std::int64_t frame = 1; frame <= frames; ++frame) {
        g_deltaTime = deltaOf(frame);
        const std::int32_t argument = AdvanceTravel();
        const double plainSum =
            static_cast<double>(g_deltaTime) * static_cast<double>(kInitialSpeed) + plainTravel;
        plainTravel = static_cast<float>(plainSum);
        const auto plainArgument = static_cast<std::int32_t>(static_cast<std::int64_t>(plainSum));
        if (FloatBits(g_travel) != FloatBits(plainTravel) || argument != plainArgument) {
            if (mismatches++ == 0) {
                firstMismatch = frame;
            }
        }
    }
    EXPECT_EQ(0, mismatches) << "first at frame " << firstMismatch;
    EXPECT_GT(g_travel, 14.0e6f);  // the half hour really went by: 1800 s at 8000 a second
    EXPECT_EQ(0.0, g_travelCarry);
    EXPECT_EQ(-1, g_lastBuiltRing);
}

TEST(TravelStep, DefaultSpeedAtAThousandFramesASecondKeepsThePlainFloatArithmeticForHalfAnHour)
{
    ExpectPlainArithmeticForHalfAnHour([](std::int64_t) { return 0.001f; });
}

// The same half hour with the deltas a real clock gives: a 10 MHz counter
// read every millisecond, g_time rounded to a float and each delta measured
// from the rounded previous time, so the steps wander between about 7 and 9
// units. None of that may switch the plain arithmetic off.
TEST(TravelStep, DefaultSpeedWithClockDeltasKeepsThePlainFloatArithmeticForHalfAnHour)
{
    float time = 0.0f;
    ExpectPlainArithmeticForHalfAnHour([&time](std::int64_t frame) {
        const std::int64_t frequency = 10000000;
        const double t = static_cast<double>(frame * 10000) / static_cast<double>(frequency);
        const float previous = time;
        time = static_cast<float>(t);
        return static_cast<float>(t - static_cast<double>(previous));
    });
}

// At 5000 frames a second the default step (1.6) is below half the float
// spacing once the travel passes 2^27: left alone the tunnel stops after
// about five hours. With the rebase the travel never gets there; this drives
// the run through two rebases and checks every frame on the way.
TEST(TravelStep, DefaultSpeedAtFiveThousandFramesASecondMovesEveryFrameThroughRebases)
{
    StartAfterSetUp();
    g_deltaTime = static_cast<float>(1.0 / 5000.0);
    const double step = ExpectedStep(g_deltaTime, g_speed);
    TravelWatch watch;
    long frame = 0;
    long badAdvances = 0;
    long badRing = 0;
    long stateOutOfRange = 0;
    double movedAtSecondRebase = 0.0;
    long frameAtSecondRebase = 0;
    while (watch.Rebases() < 2 || frame < frameAtSecondRebase + 1000000) {
        const std::int32_t argument = AdvanceTravel();
        const double advance = watch.Observe(argument);
        if (frame > 0 && (advance < 1.0 || advance > 2.0)) {
            ++badAdvances;
        }
        if (!TravelInRange(argument)) {
            ++stateOutOfRange;
        }
        // The builder keeps its newest ring 37 ahead of the base, as in a
        // straight tunnel; a rebase must move both together.
        const int base = argument >> 8;
        g_lastBuiltRing = std::max(g_lastBuiltRing, base + 37);
        if (g_lastBuiltRing - base != 37) {
            ++badRing;
        }
        if (watch.Rebases() == 2 && frameAtSecondRebase == 0) {
            frameAtSecondRebase = frame;
            movedAtSecondRebase = watch.Moved();
        }
        ++frame;
    }
    EXPECT_EQ(0, badAdvances);
    EXPECT_EQ(0, badRing);
    EXPECT_EQ(0, stateOutOfRange);
    // After the rebases the pace is exact: a million frames cover a million steps.
    EXPECT_NEAR((frame - 1 - frameAtSecondRebase) * step, watch.Moved() - movedAtSecondRebase,
                1.0e-3);
    EXPECT_GT(frame, 16000000);
}

// Every speed the keys reach, at slow and fast frame rates, from travels
// spread over the whole range the rebase keeps it in (so any moment of an
// arbitrarily long run): the builder's argument never goes back, each frame
// moves by the step to within the float's rounding (at most 1/8 of a step
// where the plain arithmetic is kept), and the pace holds.
TEST(TravelStep, EveryKeyReachableSpeedMovesAtItsPaceFromAnywhereInTheRange)
{
    const std::vector<float> speeds = KeyReachableSpeeds();
    ASSERT_GT(speeds.size(), 400u);
    const float frameRates[] = {60.0f, 1000.0f, 5000.0f};
    const float starts[] = {0.0f, 2097152.5f, 6455296.0f, 12000001.0f, 16776000.0f};
    constexpr int kFrames = 400;
    int failures = 0;
    for (float rate : frameRates) {
        for (float speed : speeds) {
            for (float start : starts) {
                StartAfterSetUp();
                g_speed = speed;
                g_travel = start;
                g_deltaTime = static_cast<float>(1.0 / rate);
                const double step = ExpectedStep(g_deltaTime, g_speed);
                TravelWatch watch;
                bool ok = true;
                for (int frame = 0; frame < kFrames && ok; ++frame) {
                    const std::int32_t argument = AdvanceTravel();
                    const double advance = watch.Observe(argument);
                    // The first frame only sets the watch's starting point.
                    ok = TravelInRange(argument) &&
                         (frame == 0 || (advance >= std::floor(step * (7.0 / 8.0)) &&
                                         advance <= std::ceil(step * (9.0 / 8.0))));
                }
                const double moved = watch.Moved();
                ok = ok && std::fabs(moved - kFrames * step) <= kFrames * step / 8.0 + 1e-9;
                if (!ok && ++failures <= 5) {
                    ADD_FAILURE() << "speed " << speed << " at " << rate << " fps from " << start
                                  << ": moved " << moved << " for " << kFrames * step;
                }
            }
        }
    }
    EXPECT_EQ(0, failures);
}

// Slow speeds at high frame rates: each step is below half the float spacing,
// so plain float arithmetic would not move at all. The carry keeps the pace
// exact, even for steps a billion times below the spacing.
TEST(TravelStep, StepsFarBelowTheFloatSpacingAddUpExactly)
{
    const float speeds[] = {2000.0f, 5.0f, 1.0e-3f, 1.0e-6f};
    for (float speed : speeds) {
        StartAfterSetUp();
        g_speed = speed;
        g_travel = 16000000.0f;  // spacing 1
        g_deltaTime = static_cast<float>(1.0 / 5000.0);
        const double step = ExpectedStep(g_deltaTime, g_speed);
        TravelWatch watch;
        const int frames = 200000;
        bool backwards = false;
        for (int frame = 0; frame < frames; ++frame) {
            backwards = backwards || watch.Observe(AdvanceTravel()) < 0.0;
        }
        EXPECT_FALSE(backwards) << "speed " << speed;
        EXPECT_NEAR(frames * step, watch.Moved(), frames * step * 1e-9) << "speed " << speed;
    }
}

// Values the plain arithmetic cannot take (the clock can produce them; the
// keys stop short of an infinite speed, the step must not rely on it): an
// infinite speed, a zero delta times it (not a number), a clock
// that stepped back. None may stop the effect or move it backwards.
TEST(TravelStep, InfiniteSpeedZeroAndNegativeDeltasStayBoundedAndNeverGoBack)
{
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        float deltaTime;
        float speed;
        double expectedMove;
    } cases[] = {
        {0.016f, inf, kMaxTravelStep},      {0.0f, inf, 0.0},
        {-0.5f, kInitialSpeed, 0.0},        {1.0e-30f, inf, kMaxTravelStep},
        {3.0e38f, 3.0e38f, kMaxTravelStep},
    };
    for (const Case& c : cases) {
        StartAfterSetUp();
        g_travel = 5000.0f;
        g_speed = c.speed;
        g_deltaTime = c.deltaTime;
        const std::int32_t argument = AdvanceTravel();
        EXPECT_TRUE(std::isfinite(g_travel)) << c.deltaTime << " x " << c.speed;
        EXPECT_EQ(5000.0 + c.expectedMove, static_cast<double>(g_travel) + g_travelCarry)
            << c.deltaTime << " x " << c.speed;
        EXPECT_EQ(static_cast<std::int32_t>(5000.0 + c.expectedMove), argument);
    }
}

// An infinite speed moves back every few frames. A tunnel that ran out long
// ago (Escape, window left open) must not drive g_lastBuiltRing down
// without end: it would overflow after some 50,000 rebases.
TEST(TravelStep, ManyRebasesAfterTheTunnelRanOutKeepTheRingIndexDefined)
{
    StartAfterSetUp();
    g_stopRequested = 1;
    g_lastBuiltRing = 37;
    g_speed = std::numeric_limits<float>::infinity();
    g_deltaTime = 0.001f;
    TravelWatch watch;
    int lowest = g_lastBuiltRing;
    for (int frame = 0; frame < 200000; ++frame) {
        const std::int32_t argument = AdvanceTravel();
        watch.Observe(argument);
        ASSERT_TRUE(TravelInRange(argument)) << "frame " << frame;
        lowest = std::min(lowest, g_lastBuiltRing);
    }
    EXPECT_GT(watch.Rebases(), 60000);
    EXPECT_EQ(-1, lowest);
}

// Both runs hold their own copy of the ring cache, so one process can lay
// out the same stretch of tunnel with and without a rebase.
struct RingCache {
    RingFrame frames[kRingSlots];
    RingPoint points[kRingSlots][kRingPoints];
    int lastBuilt;

    void Save()
    {
        std::memcpy(static_cast<void*>(frames), g_ringFrames, sizeof frames);
        std::memcpy(points, g_ringPoints, sizeof points);
        lastBuilt = g_lastBuiltRing;
    }
    void Restore() const
    {
        std::memcpy(static_cast<void*>(g_ringFrames), frames, sizeof frames);
        std::memcpy(g_ringPoints, points, sizeof points);
        g_lastBuiltRing = lastBuilt;
    }
};

// A rebase moves the tunnel back by whole periods of everything that shapes
// it: the rings on screen, the texture and the rippled and twisted shape
// carry on as if the travel had simply gone on growing.
TEST(TravelRebase, TheTunnelCarriesOnWithoutASeam)
{
    StartAfterSetUp();
    g_rippleShape = 1;
    g_deltaTime = static_cast<float>(1.0 / 60.0);
    const double step = ExpectedStep(g_deltaTime, g_speed);
    const float start = static_cast<float>(kTravelRebaseThreshold - 100.0 * step);
    g_travel = start;

    static RingCache rebased;
    static RingCache plain;
    rebased.Save();
    plain.Save();
    static StripVertex rebasedStrip[kRingSlots][kStripEntries];
    float rebasedDepth[kRingSlots];

    bool sawRebase = false;
    double worstOffset = 0.0;
    for (int frame = 0; frame < 400; ++frame) {
        rebased.Restore();
        const std::int32_t argument = AdvanceTravel();
        const bool afterRebase = g_travel < start;
        BuildTunnel(argument);
        rebased.Save();
        const int rebasedCount = g_ringCount;
        std::memcpy(rebasedStrip, g_strip, sizeof rebasedStrip);
        std::memcpy(rebasedDepth, g_ringDepth, sizeof rebasedDepth);

        plain.Restore();
        const double unwrapped = argument + (afterRebase ? kTravelRebaseShift : 0.0);
        BuildTunnel(static_cast<std::int32_t>(unwrapped));
        plain.Save();

        sawRebase = sawRebase || afterRebase;
        if (!afterRebase) {
            ASSERT_EQ(g_ringCount, rebasedCount) << "frame " << frame;
        }
        // Rounding may let the farthest, hidden ring in or out, as from one
        // frame to the next.
        ASSERT_LE(std::abs(g_ringCount - rebasedCount), 1) << "frame " << frame;
        const float vShift = afterRebase ? kTravelRebaseRings / 64.0f : 0.0f;
        for (int s = 0; s < std::min(g_ringCount, rebasedCount); ++s) {
            ASSERT_SAME_FLOAT(g_ringDepth[s], rebasedDepth[s]);
            for (int b = 0; b < kStripEntries; ++b) {
                const StripVertex& want = g_strip[s][b];
                const StripVertex& got = rebasedStrip[s][b];
                ASSERT_SAME_FLOAT(want.u, got.u);
                ASSERT_SAME_FLOAT(want.v - vShift, got.v) << "ring " << s << " frame " << frame;
                // Relative: rings right in front of the camera reach screen
                // coordinates in the hundreds.
                const double scale = std::max({1.0, std::fabs(static_cast<double>(want.x)),
                                               std::fabs(static_cast<double>(want.y))});
                worstOffset =
                    std::max({worstOffset, std::fabs(static_cast<double>(want.x) - got.x) / scale,
                              std::fabs(static_cast<double>(want.y) - got.y) / scale});
            }
        }
        if (!afterRebase) {
            ASSERT_EQ(0.0, worstOffset) << "frame " << frame;  // identical before the rebase
        }
    }
    EXPECT_TRUE(sawRebase);
    // A pixel of a 640 x 480 window is 1/240 screen unit: far below that.
    EXPECT_LT(worstOffset, 1.0e-3);
    EXPECT_GT(worstOffset, 0.0);  // rings generated after the rebase do differ in rounding
}

}  // namespace
