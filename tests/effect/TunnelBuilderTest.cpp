#include "effect/TunnelBuilder.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <utility>
#include <vector>

#include "effect/EffectState.h"
#include "effect/Travel.h"
#include "FloatBits.h"
#include "math/Mat3.h"

// Expected bit patterns written as hex come from a separate model of the same
// arithmetic (doubles throughout, each stored value packed to a 32-bit float),
// not from this code.

namespace {

float Bits(std::uint32_t bits)
{
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr double kPiDouble = 3.14159265358979323846;
const float kSentinel = Bits(0x7fc0dead);  // a quiet not-a-number no call writes

ScreenRect Rect(float minX, float minY, float maxX, float maxY)
{
    return ScreenRect{minX, minY, maxX, maxY};
}

// Rectangles are written (minX, minY, maxX, maxY), the fields' own order.
void ExpectRect(const ScreenRect& expected, const ScreenRect& actual)
{
    EXPECT_SAME_FLOAT(expected.minX, actual.minX);
    EXPECT_SAME_FLOAT(expected.minY, actual.minY);
    EXPECT_SAME_FLOAT(expected.maxX, actual.maxX);
    EXPECT_SAME_FLOAT(expected.maxY, actual.maxY);
}

void ExpectVertex(float x, float y, float u, float v, const StripVertex& actual)
{
    EXPECT_SAME_FLOAT(x, actual.x);
    EXPECT_SAME_FLOAT(y, actual.y);
    EXPECT_SAME_FLOAT(u, actual.u);
    EXPECT_SAME_FLOAT(v, actual.v);
}

void ExpectVec3(float x, float y, float z, const Vec4& actual)
{
    EXPECT_SAME_FLOAT(x, actual.x);
    EXPECT_SAME_FLOAT(y, actual.y);
    EXPECT_SAME_FLOAT(z, actual.z);
}

ScreenRect Unbounded()
{
    ScreenRect r;
    r.SetUnbounded();
    return r;
}

const ScreenRect kClosed = Rect(1e10f, 1e10f, -1e10f, -1e10f);

bool HasNaN(const ScreenRect& r)
{
    return std::isnan(r.minX) || std::isnan(r.minY) || std::isnan(r.maxX) || std::isnan(r.maxY);
}

void FillStrip(float value)
{
    for (auto& row : g_strip) {
        for (StripVertex& e : row) {
            e = StripVertex{value, value, value, value};
        }
    }
}

// Every test starts from the state right after set-up, in a process that
// may already have run other tests.
class TunnelBuilderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetEffectStateToLoadValues();
        std::memset(static_cast<void*>(g_ringFrames), 0, sizeof g_ringFrames);
        std::memset(g_ringPoints, 0, sizeof g_ringPoints);
        std::memset(g_ringDepth, 0, sizeof g_ringDepth);
        std::memset(static_cast<void*>(g_strip), 0, sizeof g_strip);
        InitCrossSection();
    }

    // The rectangle of the ring in slot as this frame left it.
    static ScreenRect ExtentOf(int slot)
    {
        ScreenRect r;
        RingScreenExtent(slot, r);
        return r;
    }

    // Puts a ring straight into a slot, as the march would have stored it.
    static void PlaceRing(int slot, const Vec4& origin, const Vec4& axisX, const Vec4& axisZ,
                          float radius)
    {
        g_ringFrames[slot].origin = origin;
        g_ringFrames[slot].axisX = axisX;
        g_ringFrames[slot].axisZ = axisZ;
        g_ringFrames[slot].radius = radius;
    }

    // Pretends every ring up to a far index has been generated, with the
    // plain cross-section and no twist, so a test can bend the tunnel itself.
    static void HandMadeStraightTunnel()
    {
        g_lastBuiltRing = 1 << 20;
        for (int slot = 0; slot < kRingSlots; ++slot) {
            g_ringFrames[slot].angles = Vec4(0.0f, 0.0f, 0.0f);
            g_ringFrames[slot].radius = 25.0f;
            std::memcpy(g_ringPoints[slot], g_circle, sizeof g_circle);
        }
    }
};

// --- ScreenRect -----------------------------------------------------------

TEST(ScreenRect, UnboundedIsPlusMinusTenToTheTenOnBothAxes)
{
    const ScreenRect r = Unbounded();
    EXPECT_SAME_FLOAT(Bits(0xd01502f9), r.minX);  // -1e10 exactly
    EXPECT_SAME_FLOAT(Bits(0xd01502f9), r.minY);
    EXPECT_SAME_FLOAT(Bits(0x501502f9), r.maxX);
    EXPECT_SAME_FLOAT(Bits(0x501502f9), r.maxY);
    EXPECT_FALSE(r.IsEmpty());
}

TEST(ScreenRect, EmptyOnlyWhenAMinimumExceedsItsMaximum)
{
    EXPECT_FALSE(Rect(1, 0, 1, 0).IsEmpty());  // zero width and height
    EXPECT_TRUE(Rect(1, 0, 0.5f, 0).IsEmpty());
    EXPECT_TRUE(Rect(0, 1, 0, 0.5f).IsEmpty());
    EXPECT_FALSE(Rect(-1, -1, 1, 1).IsEmpty());
    EXPECT_TRUE(kClosed.IsEmpty());
}

TEST(ScreenRect, IntersectKeepsTheInnerEdgesAndReturnsItself)
{
    ScreenRect r = Rect(0, 0, 2, 2);
    ScreenRect& result = r.Intersect(Rect(1, -1, 3, 1));
    EXPECT_EQ(&r, &result);
    ExpectRect(Rect(1, 0, 2, 1), r);
    EXPECT_FALSE(r.IsEmpty());

    r.Intersect(Rect(3, 0, 4, 1));
    ExpectRect(Rect(3, 0, 2, 1), r);
    EXPECT_TRUE(r.IsEmpty());
}

TEST(ScreenRect, UnboundedLeavesAnyRectangleWithinItAlone)
{
    const ScreenRect samples[] = {Rect(1, 0, 2, 1), Rect(-1e10f, 5, 1e10f, 6), Rect(3, 0, 2, 1),
                                  Rect(-0.0f, 0.0f, 0.0f, -0.0f)};
    for (const ScreenRect& sample : samples) {
        ScreenRect r = sample;
        r.Intersect(Unbounded());
        ExpectRect(sample, r);
    }
}

TEST(ScreenRect, NotANumberInTheOtherRectangleLeavesTheEdgeAsItWas)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    ScreenRect r = Rect(-1, -2, 3, 4);
    r.Intersect(Rect(nan, nan, nan, nan));
    ExpectRect(Rect(-1, -2, 3, 4), r);
}

// --- CircleLinePoints ------------------------------------------------------

TEST(CircleLinePoints, VerticalLineMeetsTheCircleAboveAndBelow)
{
    float x1, y1, x2, y2;
    CircleLinePoints(1.0, 0.0, 0.5, x1, y1, x2, y2);
    EXPECT_SAME_FLOAT(0.5f, x1);
    EXPECT_SAME_FLOAT(static_cast<float>(std::sqrt(0.75)), y1);  // 0x3f5db3d7
    EXPECT_SAME_FLOAT(Bits(0x3f5db3d7), y1);
    EXPECT_SAME_FLOAT(0.5f, x2);
    EXPECT_SAME_FLOAT(Bits(0xbf5db3d7), y2);
}

TEST(CircleLinePoints, LineThroughTheCentreAlongX)
{
    float x1, y1, x2, y2;
    CircleLinePoints(0.0, 2.0, 0.0, x1, y1, x2, y2);
    EXPECT_SAME_FLOAT(-1.0f, x1);
    EXPECT_SAME_FLOAT(0.0f, y1);
    EXPECT_SAME_FLOAT(1.0f, x2);
    EXPECT_SAME_FLOAT(0.0f, y2);
}

TEST(CircleLinePoints, GeneralLineNormalisesFirst)
{
    // 3x + 4y = 1: unit normal (0.6, 0.8), distance 0.2 from the centre.
    float x1, y1, x2, y2;
    CircleLinePoints(3.0, 4.0, 1.0, x1, y1, x2, y2);
    EXPECT_SAME_FLOAT(Bits(0xbf29f134), x1);  // -0.66383672
    EXPECT_SAME_FLOAT(Bits(0x3f3f74e7), y1);  //  0.74787754
    EXPECT_SAME_FLOAT(Bits(0x3f6761d8), x2);  //  0.90383673
    EXPECT_SAME_FLOAT(Bits(0xbedb12c4), y2);  // -0.42787755
}

// --- RingScreenExtent: rings wholly in front ------------------------------

TEST_F(TunnelBuilderTest, CentredRingEightUnitsAheadSpansPlusMinusSixAndAQuarter)
{
    PlaceRing(9, Vec4(0, 8, 0), Vec4(1, 0, 0), Vec4(0, 0, 1), 25.0f);
    ExpectRect(Rect(-6.25f, -6.25f, 6.25f, 6.25f), ExtentOf(9));
}

TEST_F(TunnelBuilderTest, TiltedOffsetRingHasItsExactBox)
{
    // Right of centre (x 10), above it (z -5 shows at positive screen y),
    // tilted about the vertical so its right side is farther away.
    PlaceRing(3, Vec4(10, 60, -5), Vec4(0.8f, 0.6f, 0), Vec4(0, 0, 1), 25.0f);
    ExpectRect(Rect(Bits(0xbee38e39), Bits(0xbf2f1cb8), Bits(0x3f4ccccd), Bits(0x3f851134)),
               ExtentOf(3));
}

// The box is that of the whole projected circle, not merely of 64 samples:
// a dense walk along each ring stays inside it and reaches every edge.
TEST_F(TunnelBuilderTest, ExtentIsTheTightBoxOfTheProjectedCircle)
{
    std::mt19937 random(1234);
    std::uniform_real_distribution<float> angle(-3.0f, 3.0f);
    std::uniform_real_distribution<float> offset(-40.0f, 40.0f);
    std::uniform_real_distribution<float> depth(60.0f, 300.0f);
    for (int trial = 0; trial < 200; ++trial) {
        Mat3 turn;
        turn.FromAngles(angle(random), angle(random), angle(random));
        Vec4 axisX(1, 0, 0), axisZ(0, 0, 1);
        turn.Transform(axisX);
        turn.Transform(axisZ);
        const Vec4 origin(offset(random), depth(random), offset(random));
        PlaceRing(5, origin, axisX, axisZ, 25.0f);
        const ScreenRect box = ExtentOf(5);
        ASSERT_FALSE(HasNaN(box));

        double lowX = 1e30, highX = -1e30, lowY = 1e30, highY = -1e30;
        for (int i = 0; i < 8192; ++i) {
            const double t = i * (2.0 * kPiDouble / 8192.0);
            const double c = std::cos(t) * 25.0, s = std::sin(t) * 25.0;
            const double px = origin.x + c * axisX.x + s * axisZ.x;
            const double py = origin.y + c * axisX.y + s * axisZ.y;
            const double pz = origin.z + c * axisX.z + s * axisZ.z;
            lowX = std::fmin(lowX, 2.0 * px / py);
            highX = std::fmax(highX, 2.0 * px / py);
            lowY = std::fmin(lowY, -2.0 * pz / py);
            highY = std::fmax(highY, -2.0 * pz / py);
        }
        const double slack = 1e-5;
        EXPECT_NEAR(lowX, box.minX, slack) << "trial " << trial;
        EXPECT_NEAR(highX, box.maxX, slack) << "trial " << trial;
        EXPECT_NEAR(lowY, box.minY, slack) << "trial " << trial;
        EXPECT_NEAR(highY, box.maxY, slack) << "trial " << trial;
        EXPECT_LE(box.minX, lowX + 1e-6);
        EXPECT_GE(box.maxX, highX - 1e-6);
    }
}

TEST_F(TunnelBuilderTest, ZeroFocalCollapsesTheBoxOntoTheCentre)
{
    // Both tangent points give a zero of opposite signs; neither is less
    // than the other, so the second becomes the minimum.
    g_focal = 0.0f;
    PlaceRing(0, Vec4(0, 8, 0), Vec4(1, 0, 0), Vec4(0, 0, 1), 25.0f);
    ExpectRect(Rect(-0.0f, 0.0f, 0.0f, -0.0f), ExtentOf(0));
}

TEST_F(TunnelBuilderTest, InfiniteFocalKeepsTheExactInfiniteBox)
{
    // Infinite bounds are ordered values: the ring in front keeps the box the
    // formulas give, and that box does not narrow an unbounded window.
    g_focal = kInf;
    PlaceRing(0, Vec4(0, 8, 0), Vec4(1, 0, 0), Vec4(0, 0, 1), 25.0f);
    const ScreenRect box = ExtentOf(0);
    ExpectRect(Rect(-kInf, -kInf, kInf, kInf), box);
    ScreenRect window = Unbounded();
    window.Intersect(box);
    ExpectRect(Unbounded(), window);
}

// --- RingScreenExtent: rings that reach the camera plane ------------------

TEST_F(TunnelBuilderTest, RingCrossingTheCameraPlaneDoesNotNarrowTheWindow)
{
    // The ring's plane holds the line of sight: Y runs from -15 to 35.
    PlaceRing(4, Vec4(0, 10, 0), Vec4(1, 0, 0), Vec4(0, 1, 0), 25.0f);
    ExpectRect(Unbounded(), ExtentOf(4));

    // Touching the plane from in front (smallest Y exactly 0) is not in front.
    PlaceRing(4, Vec4(3, 25, 1), Vec4(1, 0, 0), Vec4(0, 1, 0), 25.0f);
    ExpectRect(Unbounded(), ExtentOf(4));

    // Around the camera itself.
    PlaceRing(4, Vec4(0, 0, 0), Vec4(1, 0, 0), Vec4(0, 0.6f, 0.8f), 25.0f);
    ExpectRect(Unbounded(), ExtentOf(4));
}

TEST_F(TunnelBuilderTest, RingWhollyBehindTheCameraClosesTheWindow)
{
    PlaceRing(6, Vec4(5, -40, 2), Vec4(1, 0, 0), Vec4(0, 0.6f, 0.8f), 25.0f);
    const ScreenRect box = ExtentOf(6);
    ExpectRect(kClosed, box);
    ScreenRect window = Unbounded();
    EXPECT_TRUE(window.Intersect(box).IsEmpty());

    // Lying in the camera plane counts as behind: no line of sight crosses it.
    PlaceRing(6, Vec4(0, 0, 0), Vec4(1, 0, 0), Vec4(0, 0, 1), 25.0f);
    ExpectRect(kClosed, ExtentOf(6));
    // So does touching it from behind.
    PlaceRing(6, Vec4(0, -25, 0), Vec4(1, 0, 0), Vec4(0, 1, 0), 25.0f);
    ExpectRect(kClosed, ExtentOf(6));
}

TEST_F(TunnelBuilderTest, RingInFrontWithoutComputableBoxDoesNotNarrowTheWindow)
{
    // Seen edge on: screen x is 0 all round, so a = b = c = 0 horizontally.
    PlaceRing(7, Vec4(0, 50, 0), Vec4(0, 1, 0), Vec4(0, 0, 1), 25.0f);
    ExpectRect(Unbounded(), ExtentOf(7));

    // A slot that was never generated: radius 0, a single point.
    PlaceRing(7, Vec4(0, 8, 0), Vec4(1, 0, 0), Vec4(0, 0, 1), 0.0f);
    ExpectRect(Unbounded(), ExtentOf(7));

    // Grazing the camera plane: in front by a hair (smallest Y about 1e-6),
    // but a rounded tangent point lands behind it (depth -3.1e-7), which
    // would mirror its screen x to -1.5e8.
    PlaceRing(7, Vec4(Bits(0x41c06ea7), Bits(0x41c7e9a7), Bits(0xc1b9a940)),
              Vec4(Bits(0xbbb4ea08), Bits(0x3f7f7520), Bits(0x3d84c674)),
              Vec4(Bits(0x3f0720b6), Bits(0x3d6d7504), Bits(0xbf58ecaa)), 25.0f);
    ExpectRect(Unbounded(), ExtentOf(7));

    // A focal factor that is not a number.
    g_focal = std::numeric_limits<float>::quiet_NaN();
    PlaceRing(7, Vec4(0, 8, 0), Vec4(1, 0, 0), Vec4(0, 0, 1), 25.0f);
    ExpectRect(Unbounded(), ExtentOf(7));

    // Infinite focal on a ring whose box touches screen x = 0: inf * 0.
    g_focal = kInf;
    PlaceRing(7, Vec4(25, 50, 0), Vec4(1, 0, 0), Vec4(0, 0, 1), 25.0f);
    ExpectRect(Unbounded(), ExtentOf(7));
}

TEST_F(TunnelBuilderTest, NoRingEverYieldsNotANumber)
{
    std::mt19937 random(99);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    const float specials[] = {
        0.0f, -0.0f, 1e-30f, 1e30f, kInf, -kInf, std::numeric_limits<float>::quiet_NaN(),
        8.0f, 25.0f};
    auto pick = [&](float scale) {
        const std::uint32_t which = random() % 16;
        return which < 9 ? specials[which] : unit(random) * scale;
    };
    for (int trial = 0; trial < 20000; ++trial) {
        g_focal = trial % 3 == 0 ? pick(4.0f) : 2.0f;
        PlaceRing(11, Vec4(pick(60), pick(60), pick(60)), Vec4(pick(1), pick(1), pick(1)),
                  Vec4(pick(1), pick(1), pick(1)), pick(40));
        const ScreenRect box = ExtentOf(11);
        ASSERT_FALSE(HasNaN(box)) << "trial " << trial;
        ScreenRect window = Unbounded();
        window.Intersect(box);
        ASSERT_FALSE(HasNaN(window)) << "trial " << trial;
    }
}

// --- BuildTunnel: the first frame -----------------------------------------

TEST_F(TunnelBuilderTest, FirstFrameMarchesThirtyEightRings)
{
    FillStrip(kSentinel);
    BuildTunnel(0);

    EXPECT_EQ(38, g_ringCount);
    EXPECT_EQ(37, g_lastBuiltRing);
    EXPECT_SAME_FLOAT(1.0f, g_ringDepth[0]);
    EXPECT_SAME_FLOAT(38.0f, g_ringDepth[37]);
    EXPECT_SAME_FLOAT(0.0f, g_ringDepth[38]);  // beyond the march: untouched

    // Ring 0 straight ahead, ring 1 one step further with the same axes.
    const RingFrame& ring0 = g_ringFrames[0];
    ExpectVec3(0, 8, 0, ring0.origin);
    ExpectVec3(1, 0, 0, ring0.axisX);
    ExpectVec3(0, 0, 1, ring0.axisZ);
    EXPECT_SAME_FLOAT(1.0f, ring0.origin.w);
    EXPECT_SAME_FLOAT(1.0f, ring0.axisX.w);
    ExpectVec3(0, 16, 0, g_ringFrames[1].origin);
    ExpectVec3(1, 0, 0, g_ringFrames[1].axisX);
    ExpectVec3(0, 0, 1, g_ringFrames[1].axisZ);
    ExpectRect(Rect(-6.25f, -6.25f, 6.25f, 6.25f), ExtentOf(0));
    ExpectRect(Rect(-3.125f, -3.125f, 3.125f, 3.125f), ExtentOf(1));

    // Ring 37 after 37 twists: the frame carried through every rotation.
    ExpectVec3(Bits(0x42bc1910), Bits(0x4389383d), Bits(0xc13d0594), g_ringFrames[37].origin);
    ExpectVec3(Bits(0x3b8ea378), Bits(0xbeb10e63), Bits(0x3f7033fe), g_ringFrames[37].axisX);
    ExpectVec3(Bits(0xbf2b88c9), Bits(0x3f320c2b), Bits(0x3e84d513), g_ringFrames[37].axisZ);
    ExpectRect(Rect(Bits(0x3f076186), Bits(0xbdbdb58c), Bits(0x3f5d4c08), Bits(0x3e85924d)),
               ExtentOf(37));

    // Point 0, (0, 25), lies at (0, 8, 25) and shows below the centre.
    ExpectVertex(0.0f, -6.25f, 0.0f, 0.0f, g_strip[0][0]);
    ExpectVertex(0.0f, -6.25f, 1.0f, 0.0f, g_strip[0][64]);
    ExpectVertex(6.25f, Bits(0x3492abcc), 0.25f, 0.0f, g_strip[0][16]);  // y about 2.7e-7
    ExpectVertex(Bits(0x400d6bde), Bits(0xc00d6bde), 0.125f, 0.015625f, g_strip[1][8]);
    ExpectVertex(Bits(0x3e99870c), Bits(0x3ed3929e), 0.515625f, 0.3125f, g_strip[20][33]);
    ExpectVertex(Bits(0x3f079daa), Bits(0x3d158fe5), 0.0f, 0.578125f, g_strip[37][0]);
    ExpectVertex(Bits(0x3f356060), Bits(0xbdb36e4f), 0.25f, 0.578125f, g_strip[37][16]);
    ExpectVertex(Bits(0x3f49f6b2), Bits(0x3e7bd659), 0.625f, 0.578125f, g_strip[37][40]);

    // Every entry of the marched rows is written, nothing beyond them.
    for (int s = 0; s < kRingSlots; ++s) {
        for (int b = 0; b < kStripEntries; ++b) {
            const bool written = s < 38;
            EXPECT_EQ(written, !std::isnan(g_strip[s][b].x)) << "row " << s << " entry " << b;
        }
    }
    // Ring 38 was never reached, so never generated.
    EXPECT_SAME_FLOAT(0.0f, g_ringFrames[38].radius);
}

TEST_F(TunnelBuilderTest, TheWindowIsTestedBeforeEachRing)
{
    BuildTunnel(0);
    ASSERT_EQ(38, g_ringCount);
    // Redo the window from the frames this call stored: it is still open
    // after ring 36, and ring 37's rectangle, counted and drawn, closes it.
    ScreenRect window = Unbounded();
    for (int s = 0; s < 37; ++s) {
        window.Intersect(ExtentOf(s));
        EXPECT_FALSE(window.IsEmpty()) << "after ring " << s;
    }
    window.Intersect(ExtentOf(37));
    EXPECT_TRUE(window.IsEmpty());
}

// --- BuildTunnel: splitting the travel ------------------------------------

TEST_F(TunnelBuilderTest, Travel255PutsRingZeroAnEighthOfAUnitAhead)
{
    BuildTunnel(255);
    EXPECT_EQ(38, g_ringCount);
    EXPECT_EQ(37, g_lastBuiltRing);
    ExpectVec3(0, 0.03125f, 0, g_ringFrames[0].origin);  // 8 / 256
    EXPECT_SAME_FLOAT(0.00390625f, g_ringDepth[0]);      // 1 / 256
    EXPECT_SAME_FLOAT(37.00390625f, g_ringDepth[37]);
    ExpectRect(Rect(-1600, -1600, 1600, 1600), ExtentOf(0));  // 2 * 25 * 256 / 8
    ExpectVertex(0.0f, -1600.0f, 0.0f, 0.0f, g_strip[0][0]);
}

TEST_F(TunnelBuilderTest, Travel256StartsAtRingOne)
{
    BuildTunnel(256);
    EXPECT_EQ(37, g_ringCount);
    EXPECT_EQ(37, g_lastBuiltRing);
    ExpectVec3(0, 8, 0, g_ringFrames[1].origin);
    ExpectVec3(1, 0, 0, g_ringFrames[1].axisX);
    ExpectVec3(0, 0, 1, g_ringFrames[1].axisZ);
    EXPECT_SAME_FLOAT(1.0f, g_ringDepth[0]);
    ExpectVertex(0.0f, -6.25f, 0.0f, 0.015625f, g_strip[0][0]);
    for (int b = 0; b <= 64; ++b) {
        EXPECT_SAME_FLOAT(0.015625f, g_strip[0][b].v);
    }
    // Ring 0 was jumped over: never generated.
    EXPECT_SAME_FLOAT(0.0f, g_ringFrames[0].radius);
}

TEST_F(TunnelBuilderTest, NegativeTravelSplitsByFloor)
{
    // -1 is ring -1 plus 255/256 of a step. Ring -1 is not above
    // g_lastBuiltRing (-1), so its slot 127 is used as it is: never
    // generated, radius 0. That degenerate ring must not spoil the window.
    BuildTunnel(-1);
    EXPECT_SAME_FLOAT(0.00390625f, g_ringDepth[0]);
    ExpectVec3(0, 0.03125f, 0, g_ringFrames[127].origin);
    EXPECT_SAME_FLOAT(0.0f, g_ringFrames[127].radius);
    ExpectVertex(0.0f, -0.0f, 0.0f, -0.015625f, g_strip[0][0]);  // v of ring -1
    EXPECT_SAME_FLOAT(0.0f, g_strip[1][0].v);                    // ring 0 follows
    ExpectRect(Rect(Bits(0xc0c738c7), Bits(0xc0c738c7), Bits(0x40c738c7), Bits(0x40c738c7)),
               ExtentOf(0));  // ring 0, 8 + 8/256 ahead: +-6.2256808
    EXPECT_EQ(39, g_ringCount);
    EXPECT_EQ(37, g_lastBuiltRing);
}

// --- BuildTunnel: shapes and strip entries --------------------------------

TEST_F(TunnelBuilderTest, RippledRingsGetTheirRadiusWhenGenerated)
{
    g_rippleShape = 1;
    BuildTunnel(0);
    EXPECT_SAME_FLOAT(25.0f, g_ringFrames[0].radius);
    EXPECT_SAME_FLOAT(31.25f, g_ringFrames[5].radius);
    EXPECT_SAME_FLOAT(25.0f, g_ringFrames[10].radius);
    EXPECT_SAME_FLOAT(18.75f, g_ringFrames[15].radius);
    EXPECT_SAME_FLOAT(Bits(0x41d7736c), g_ringFrames[1].radius);  // 25 * 1.0772543
    // The sine taken in double precision of a double argument: a sine or
    // argument rounded to float first gives 0x41b88c95 and 25.0 here.
    EXPECT_SAME_FLOAT(Bits(0x41b88c94), g_ringFrames[11].radius);
    EXPECT_SAME_FLOAT(Bits(0x41c7ffff), g_ringFrames[30].radius);  // sin(3P) is not 0
    EXPECT_EQ(34, g_ringCount);
    EXPECT_EQ(33, g_lastBuiltRing);

    // Switching back reaches only rings generated afterwards.
    g_rippleShape = 0;
    BuildTunnel(10 * 256);
    EXPECT_SAME_FLOAT(31.25f, g_ringFrames[25].radius);
    EXPECT_SAME_FLOAT(25.0f, g_ringFrames[35].radius);
    EXPECT_SAME_FLOAT(25.0f, g_ringFrames[g_lastBuiltRing & 127].radius);
}

TEST_F(TunnelBuilderTest, PlainRingsAllGetRadius25)
{
    BuildTunnel(0);
    for (int k = 0; k <= g_lastBuiltRing; ++k) {
        EXPECT_SAME_FLOAT(25.0f, g_ringFrames[k].radius) << "ring " << k;
    }
}

TEST_F(TunnelBuilderTest, CoarsePolygonStepWritesNineEntriesPerRow)
{
    BuildTunnel(0);
    StripVertex fine[kRingSlots][kStripEntries];
    std::memcpy(fine, g_strip, sizeof fine);
    const int fineCount = g_ringCount;

    FillStrip(kSentinel);
    g_polyStep = 8;
    BuildTunnel(0);
    ASSERT_EQ(fineCount, g_ringCount);
    for (int s = 0; s < kRingSlots; ++s) {
        int written = 0;
        for (int b = 0; b < kStripEntries; ++b) {
            const StripVertex& e = g_strip[s][b];
            if (s < g_ringCount && b % 8 == 0) {
                ++written;
                EXPECT_EQ(0, std::memcmp(&fine[s][b], &e, sizeof e))
                    << "row " << s << " entry " << b;
            } else {
                EXPECT_SAME_FLOAT(kSentinel, e.x) << "row " << s << " entry " << b;
                EXPECT_SAME_FLOAT(kSentinel, e.v) << "row " << s << " entry " << b;
            }
        }
        EXPECT_EQ(s < g_ringCount ? 9 : 0, written);
    }
}

TEST_F(TunnelBuilderTest, StepsTwoAndFourWriteEveryStepthEntryThrough64)
{
    for (int step : {2, 4}) {
        FillStrip(kSentinel);
        g_polyStep = step;
        BuildTunnel(0);
        for (int b = 0; b < kStripEntries; ++b) {
            EXPECT_EQ(b % step == 0, !std::isnan(g_strip[3][b].u))
                << "step " << step << " entry " << b;
        }
        EXPECT_SAME_FLOAT(1.0f, g_strip[3][64].u);
    }
}

// --- BuildTunnel: where the march ends ------------------------------------

TEST_F(TunnelBuilderTest, MarchStopsAt128RingsWhenTheWindowNeverCloses)
{
    g_focal = 0.0f;  // every rectangle collapses onto the centre, never empty
    BuildTunnel(100);
    EXPECT_EQ(128, g_ringCount);
    EXPECT_EQ(127, g_lastBuiltRing);
    EXPECT_SAME_FLOAT(127.609375f, g_ringDepth[127]);  // 128 - 100/256
    EXPECT_SAME_FLOAT(1.984375f, g_strip[127][0].v);   // ring 127
}

TEST_F(TunnelBuilderTest, StraightTunnelReachesTheLimitToo)
{
    HandMadeStraightTunnel();
    BuildTunnel(0);
    EXPECT_EQ(128, g_ringCount);
    ExpectVec3(0, 1024, 0, g_ringFrames[127].origin);
    ExpectVertex(0.0f, Bits(0xbd480000), 0.0f, 1.984375f, g_strip[127][0]);  // -2*25/1024
}

TEST_F(TunnelBuilderTest, EscapeLetsTheTunnelRunOut)
{
    BuildTunnel(0);
    ASSERT_EQ(37, g_lastBuiltRing);
    HandleKey(27);

    BuildTunnel(10 * 256);  // base 10: rings 10 .. 37 at most
    EXPECT_EQ(28, g_ringCount);
    EXPECT_EQ(37, g_lastBuiltRing);

    BuildTunnel(37 * 256);  // base 37: the last ring alone
    EXPECT_EQ(1, g_ringCount);
    BuildTunnel(37 * 256 + 255);
    EXPECT_EQ(1, g_ringCount);
    EXPECT_SAME_FLOAT(0.00390625f, g_ringDepth[0]);

    // From base 38 on nothing is marched and nothing is written.
    float depth[kRingSlots];
    std::memcpy(depth, g_ringDepth, sizeof depth);
    std::vector<unsigned char> strip(sizeof g_strip), frames(sizeof g_ringFrames);
    std::memcpy(strip.data(), g_strip, strip.size());
    std::memcpy(frames.data(), g_ringFrames, frames.size());
    for (std::int32_t travel : {38 * 256, 38 * 256 + 7, 40 * 256, 1 << 20, 0x7fffffff}) {
        BuildTunnel(travel);
        EXPECT_EQ(0, g_ringCount) << travel;
        EXPECT_EQ(37, g_lastBuiltRing);
        EXPECT_EQ(0, std::memcmp(depth, g_ringDepth, sizeof depth));
        EXPECT_EQ(0, std::memcmp(strip.data(), g_strip, strip.size()));
        EXPECT_EQ(0, std::memcmp(frames.data(), g_ringFrames, frames.size()));
    }
}

TEST_F(TunnelBuilderTest, EscapeBeforeTheFirstFrameMarchesNothing)
{
    HandleKey(27);
    FillStrip(kSentinel);
    BuildTunnel(0);
    EXPECT_EQ(0, g_ringCount);
    EXPECT_EQ(-1, g_lastBuiltRing);
    EXPECT_SAME_FLOAT(0.0f, g_ringDepth[0]);
    EXPECT_SAME_FLOAT(kSentinel, g_strip[0][0].x);
    EXPECT_SAME_FLOAT(0.0f, g_ringFrames[0].radius);
}

// --- BuildTunnel: points and rings at or behind the camera plane ----------

// Ring 0 turns the tunnel right round (c = pi): ring 1 is centred on the
// camera, in the camera plane, and everything after it lies behind.
class TurningBackTest : public TunnelBuilderTest {
protected:
    void SetUp() override
    {
        TunnelBuilderTest::SetUp();
        HandMadeStraightTunnel();
        g_ringFrames[0].angles = Vec4(0.0f, 0.0f, kPi);
        // Ring 1 (origin (-7e-7, 0, 0), x axis (-1, 8.7e-8, 0)): point 0 lands
        // at X = 1, Y = -8.7e-8, Z = 0, point 1 on the origin with Y = 0.
        g_ringPoints[1][0] = RingPoint{Bits(0xbf800006), 0.0f};  // -1.0000007
        g_ringPoints[1][1] = RingPoint{0.0f, 0.0f};
    }
};

TEST_F(TurningBackTest, PointsAtOrBehindTheCameraPlaneUseDepthOneTenth)
{
    BuildTunnel(0);
    ExpectVec3(Bits(0xb53bbd2e), 0.0f, 0.0f, g_ringFrames[1].origin);
    // X = 1, Y < 0, Z = 0 at focal 2: screen x 2 / 0.1, y -(0 / 0.1).
    ExpectVertex(20.0f, -0.0f, 0.0f, 0.015625f, g_strip[1][0]);
    // Y = 0 exactly: 2 * -6.99e-7 / 0.1f; a double 0.1 would give 0xb76aac7a.
    ExpectVertex(Bits(0xb76aac79), -0.0f, 0.015625f, 0.015625f, g_strip[1][1]);
    for (int b = 0; b <= 64; ++b) {
        EXPECT_TRUE(std::isfinite(g_strip[2][b].x)) << b;
        EXPECT_TRUE(std::isfinite(g_strip[2][b].y)) << b;
    }
}

TEST_F(TurningBackTest, TheMarchEndsAtTheFirstRingBehindTheCamera)
{
    BuildTunnel(0);
    // Ring 1 crosses the plane and leaves the window open; ring 2 lies wholly
    // behind the camera and closes it.
    ExpectRect(Unbounded(), ExtentOf(1));
    ExpectRect(kClosed, ExtentOf(2));
    EXPECT_EQ(3, g_ringCount);
}

TEST_F(TunnelBuilderTest, FocalBeyondReasonStillEndsTheMarch)
{
    BuildTunnel(0);
    const int count = g_ringCount;

    g_focal = kInf;  // rings off centre get infinite bounds on one side
    BuildTunnel(0);
    EXPECT_LE(g_ringCount, 128);
    EXPECT_GT(g_ringCount, 0);

    g_focal = std::numeric_limits<float>::quiet_NaN();  // every box unknown
    BuildTunnel(0);
    EXPECT_EQ(128, g_ringCount);

    // Large but finite, and a power of two: the same picture, scaled, as long
    // as the boxes stay inside the unbounded window's +-1e10.
    g_focal = std::ldexp(1.0f, 20);
    BuildTunnel(0);
    EXPECT_EQ(count, g_ringCount);
}

// --- A whole flight, bit for bit -------------------------------------------

std::uint64_t Mix(std::uint64_t hash, std::uint32_t word)
{
    for (int i = 0; i < 4; ++i) {
        hash ^= (word >> (8 * i)) & 0xffu;
        hash *= 0x100000001b3u;  // FNV-1a, 64 bits
    }
    return hash;
}

std::uint64_t Mix(std::uint64_t hash, float value)
{
    return Mix(hash, FloatBits(value));
}

// 450 frames at 60 frames a second with the effect's own travel step, a
// focal of 2 * 1.1, the rippled shape from frame 100, coarser polygons from
// frames 200 and 300 and Escape at frame 380. Everything a
// frame hands to the renderer goes into the hash: the ring count, the newest
// ring, and the depths and strip entries of the marched rings.
TEST_F(TunnelBuilderTest, FlightMatchesTheModelBitForBit)
{
    HandleKey('*');
    std::uint64_t hash = 0xcbf29ce484222325u;
    g_speed = kInitialSpeed;
    g_deltaTime = 1.0f / 60.0f;
    for (int frame = 0; frame < 450; ++frame) {
        if (frame == 100)
            HandleKey(' ');
        if (frame == 200)
            HandleKey('2');
        if (frame == 300)
            HandleKey('1');
        if (frame == 380)
            HandleKey(27);
        BuildTunnel(AdvanceTravel());

        hash = Mix(hash, static_cast<std::uint32_t>(g_ringCount));
        hash = Mix(hash, static_cast<std::uint32_t>(g_lastBuiltRing));
        for (int s = 0; s < g_ringCount; ++s) {
            hash = Mix(hash, g_ringDepth[s]);
            for (int b = 0; b <= 64; b += g_polyStep) {
                const StripVertex& e = g_strip[s][b];
                hash = Mix(Mix(Mix(Mix(hash, e.x), e.y), e.u), e.v);
            }
        }
        if (frame == 0) {
            EXPECT_EQ(38, g_ringCount);
            EXPECT_EQ(0xe1b4ac0304e75ad6u, hash);
        }
        if (frame == 99) {
            EXPECT_EQ(48, g_ringCount);
            EXPECT_EQ(99, g_lastBuiltRing);
            EXPECT_EQ(0x3766bc9064f5bf31u, hash);
        }
        if (frame == 379) {
            EXPECT_EQ(0xb6b9949127f19736u, hash);
        }
    }
    EXPECT_EQ(2, g_ringCount);
    EXPECT_EQ(235, g_lastBuiltRing);
    EXPECT_EQ(0xe97eeb96c2bca7cbu, hash);
}

// --- Properties -----------------------------------------------------------

struct FrameOfRing {
    Vec4 origin, axisX, axisZ;
};

// The frames of every ring this call marched, by absolute index.
std::vector<std::pair<int, FrameOfRing>> MarchedFrames(std::int32_t travel)
{
    BuildTunnel(travel);
    std::vector<std::pair<int, FrameOfRing>> frames;
    const int base = travel >> 8;
    for (int s = 0; s < g_ringCount; ++s) {
        const RingFrame& ring = g_ringFrames[(base + s) & 127];
        frames.push_back({base + s, FrameOfRing{ring.origin, ring.axisX, ring.axisZ}});
    }
    return frames;
}

double Distance(const Vec4& a, const Vec4& b)
{
    return std::sqrt((static_cast<double>(a.x) - b.x) * (static_cast<double>(a.x) - b.x) +
                     (static_cast<double>(a.y) - b.y) * (static_cast<double>(a.y) - b.y) +
                     (static_cast<double>(a.z) - b.z) * (static_cast<double>(a.z) - b.z));
}

// Largest move of any ring marched in both calls, of its centre and of its axes.
std::pair<double, double> LargestMove(const std::vector<std::pair<int, FrameOfRing>>& before,
                                      const std::vector<std::pair<int, FrameOfRing>>& after)
{
    double origin = 0, axes = 0;
    int common = 0;
    for (const auto& [index, frame] : before) {
        for (const auto& [otherIndex, other] : after) {
            if (index == otherIndex) {
                ++common;
                origin = std::fmax(origin, Distance(frame.origin, other.origin));
                axes = std::fmax(axes, Distance(frame.axisX, other.axisX));
                axes = std::fmax(axes, Distance(frame.axisZ, other.axisZ));
            }
        }
    }
    EXPECT_GE(common, 20);
    return {origin, axes};
}

// One travel unit moves the tunnel by about 1/256 of a step, whether or not
// the base index steps: no jump at a multiple of 256.
TEST_F(TunnelBuilderTest, LayoutMovesSmoothlyAcrossARingBoundary)
{
    g_focal = 0.0f;  // march the full 128 rings: the far ones show a wrong turn most
    for (int boundary : {256, 21 * 256, 64 * 256, 200 * 256}) {
        const auto a = MarchedFrames(boundary - 2);
        const auto b = MarchedFrames(boundary - 1);
        const auto c = MarchedFrames(boundary);
        const auto d = MarchedFrames(boundary + 1);
        const auto within = LargestMove(a, b);
        const auto across = LargestMove(b, c);
        const auto after = LargestMove(c, d);
        EXPECT_LT(across.first, 2.0 * std::fmax(within.first, after.first) + 1e-3) << boundary;
        EXPECT_LT(across.second, 2.0 * std::fmax(within.second, after.second) + 1e-5) << boundary;
        EXPECT_LT(across.first, 0.5) << boundary;
        EXPECT_LT(across.second, 2e-3) << boundary;
    }
}

TEST_F(TunnelBuilderTest, DoublingTheFocalDoublesEveryScreenCoordinate)
{
    for (std::int32_t travel : {0, 300, 5000, 77777}) {
        g_focal = 2.0f;
        BuildTunnel(travel);
        const int count = g_ringCount;
        StripVertex single[kRingSlots][kStripEntries];
        std::memcpy(single, g_strip, sizeof single);

        g_focal = 4.0f;
        BuildTunnel(travel);
        ASSERT_EQ(count, g_ringCount) << travel;
        for (int s = 0; s < count; ++s) {
            for (int b = 0; b <= 64; ++b) {
                EXPECT_SAME_FLOAT(2.0f * single[s][b].x, g_strip[s][b].x);
                EXPECT_SAME_FLOAT(2.0f * single[s][b].y, g_strip[s][b].y);
                EXPECT_SAME_FLOAT(single[s][b].u, g_strip[s][b].u);
                EXPECT_SAME_FLOAT(single[s][b].v, g_strip[s][b].v);
            }
        }
    }
}

// Each ring index is generated at most once, in increasing order, exactly
// when the march first reaches it; indices jumped over never are.
TEST_F(TunnelBuilderTest, RingsAreGeneratedOnceWhenFirstReached)
{
    // A radius BuildRing never produces marks the slots generated earlier.
    const float marked = std::nextafter(25.0f, 26.0f);
    std::mt19937 random(5);
    std::int32_t travel = 0;
    for (int frame = 0; frame < 3000; ++frame) {
        for (RingFrame& ring : g_ringFrames) {
            ring.radius = marked;
        }
        const int before = g_lastBuiltRing;
        const std::uint32_t kind = random() % 10;
        const std::uint32_t advance = kind == 0 ? random() % 60000 : random() % 40;  // jumps too
        travel += static_cast<std::int32_t>(advance);
        BuildTunnel(travel);
        const int base = travel >> 8;
        const int lastMarched = base + g_ringCount - 1;
        ASSERT_GE(g_ringCount, 1);
        ASSERT_EQ(std::max(before, lastMarched), g_lastBuiltRing) << "frame " << frame;

        const int firstNew = std::max(before + 1, base);
        for (int slot = 0; slot < kRingSlots; ++slot) {
            // The index this slot would hold if generated in this call.
            const int k = firstNew + ((slot - firstNew) % 128 + 128) % 128;
            const bool generated = k <= g_lastBuiltRing;
            ASSERT_SAME_FLOAT(generated ? 25.0f : marked, g_ringFrames[slot].radius)
                << "frame " << frame << " slot " << slot;
        }
    }
}

}  // namespace
