#include "effect/RingTable.h"

#include <cmath>
#include <cstring>

#include "effect/EffectState.h"
#include "FloatBits.h"

namespace {

float Bits(std::uint32_t bits)
{
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

class RingTableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetEffectStateToLoadValues();
        std::memset(static_cast<void*>(g_ringFrames), 0, sizeof g_ringFrames);
        std::memset(g_ringPoints, 0, sizeof g_ringPoints);
        InitCrossSection();
    }
};

TEST_F(RingTableTest, InitCrossSectionResetsBuilderState)
{
    g_polyStep = 8;
    g_lastBuiltRing = 99;
    InitCrossSection();
    EXPECT_EQ(-1, g_lastBuiltRing);
    EXPECT_EQ(1, g_polyStep);
}

TEST_F(RingTableTest, BaseCircleStartsAtPlusYAndTurnsTowardsPlusX)
{
    EXPECT_SAME_FLOAT(0.0f, g_circle[0].x);
    EXPECT_SAME_FLOAT(25.0f, g_circle[0].y);
    EXPECT_GT(g_circle[1].x, 0.0f);
    EXPECT_SAME_FLOAT(Bits(0x401cd3d2), g_circle[1].x);
    EXPECT_SAME_FLOAT(Bits(0x41c70975), g_circle[1].y);
    EXPECT_SAME_FLOAT(Bits(0x418d6bde), g_circle[8].x);
    EXPECT_SAME_FLOAT(g_circle[8].x, g_circle[8].y);
}

// Single-precision pi makes the quarter points miss the axes by a hair.
TEST_F(RingTableTest, QuarterPointsCarryTinyNonZeroEpsilons)
{
    EXPECT_SAME_FLOAT(25.0f, g_circle[16].x);
    EXPECT_SAME_FLOAT(Bits(0xb592abcc), g_circle[16].y);  // about -1.09e-6
    EXPECT_SAME_FLOAT(Bits(0xb612abcc), g_circle[32].x);  // about -2.19e-6
    EXPECT_SAME_FLOAT(-25.0f, g_circle[32].y);
    EXPECT_SAME_FLOAT(-25.0f, g_circle[48].x);
    EXPECT_SAME_FLOAT(Bits(0x365c01b2), g_circle[48].y);  // about 3.28e-6
}

TEST_F(RingTableTest, RingZeroIsTheBaseCircleWithoutTwist)
{
    BuildRing(0, 0, 1.0f);
    const RingFrame& ring = g_ringFrames[0];
    EXPECT_SAME_FLOAT(0.0f, ring.angles.x);
    EXPECT_SAME_FLOAT(0.0f, ring.angles.y);
    EXPECT_SAME_FLOAT(0.0f, ring.angles.z);
    EXPECT_SAME_FLOAT(25.0f, ring.radius);
    for (int i = 0; i < kRingPoints; ++i) {
        EXPECT_SAME_FLOAT(g_circle[i].x, g_ringPoints[0][i].x) << "point " << i;
        EXPECT_SAME_FLOAT(g_circle[i].y, g_ringPoints[0][i].y) << "point " << i;
    }
}

TEST_F(RingTableTest, TwistAnglesPeakWhereTheirSinesDo)
{
    BuildRing(20 & 127, 20, 1.0f);
    EXPECT_SAME_FLOAT(Bits(0x3c89421f), g_ringFrames[20].angles.x);  // 8 pi / 1500
    BuildRing(45 & 127, 45, 1.0f);
    EXPECT_SAME_FLOAT(Bits(0x3d89421f), g_ringFrames[45].angles.y);  // 32 pi / 1500
    BuildRing(35 & 127, 35, 1.0f);
    EXPECT_SAME_FLOAT(Bits(0x3d09421f), g_ringFrames[35].angles.z);  // 16 pi / 1500

    // sin(40 P / 40) with P a hair above pi: tiny and negative, not zero.
    BuildRing(40, 40, 1.0f);
    EXPECT_SAME_FLOAT(Bits(0xb0c95176), g_ringFrames[40].angles.x);
    EXPECT_SAME_FLOAT(Bits(0x3d872c4b), g_ringFrames[40].angles.y);
    EXPECT_SAME_FLOAT(Bits(0x3d05d122), g_ringFrames[40].angles.z);
}

TEST_F(RingTableTest, Ring130TakesOverSlot2Only)
{
    BuildRing(2, 2, 1.0f);
    BuildRing(3, 3, 1.0f);
    g_ringFrames[2].angles.w = 0.0f;
    const RingFrame before3 = g_ringFrames[3];
    g_ringFrames[2].origin = Vec4(1.0f, 2.0f, 3.0f);

    BuildRing(130 & 127, 130, 1.25f);
    const RingFrame& ring = g_ringFrames[2];
    EXPECT_SAME_FLOAT(31.25f, ring.radius);
    EXPECT_SAME_FLOAT(Bits(0xbc421cd2), ring.angles.x);  // ring 130's angles, all negative
    EXPECT_SAME_FLOAT(Bits(0xbd872c4b), ring.angles.y);
    EXPECT_SAME_FLOAT(Bits(0xbc6e376a), ring.angles.z);
    EXPECT_SAME_FLOAT(0.0f, ring.angles.w);
    EXPECT_SAME_FLOAT(1.0f, ring.origin.x);  // the builder's fields are left alone
    EXPECT_SAME_FLOAT(3.0f, ring.origin.z);
    EXPECT_SAME_FLOAT(Bits(0x404408c6), g_ringPoints[2][1].x);  // 1.25 * g_circle[1], rounded
    EXPECT_SAME_FLOAT(Bits(0x41f8cbd2), g_ringPoints[2][1].y);

    EXPECT_EQ(0, std::memcmp(&before3, &g_ringFrames[3], sizeof before3));
    EXPECT_SAME_FLOAT(g_circle[5].x, g_ringPoints[3][5].x);
}

TEST_F(RingTableTest, PointsStayOnTheScaledCircle)
{
    BuildRing(7, 7, 0.75f);
    for (int i = 0; i < kRingPoints; ++i) {
        const double r = std::hypot(g_ringPoints[7][i].x, g_ringPoints[7][i].y);
        EXPECT_NEAR(18.75, r, 1e-5) << "point " << i;
    }
    EXPECT_SAME_FLOAT(18.75f, g_ringFrames[7].radius);
}

}  // namespace
