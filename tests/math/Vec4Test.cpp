#include "math/Vec4.h"

#include <cfloat>

#include "FloatBits.h"

namespace {

Vec4 Make(float x, float y, float z, float w)
{
    Vec4 v(x, y, z);
    v.w = w;
    return v;
}

TEST(Vec4, StaticDefaultConstructionLeavesZeros)
{
    static Vec4 untouched;
    EXPECT_SAME_FLOAT(0.0f, untouched.x);
    EXPECT_SAME_FLOAT(0.0f, untouched.w);
}

TEST(Vec4, ThreeValueConstructorSetsWToOneAndCopiesKeepW)
{
    const Vec4 v(1.5f, -2.0f, 3.25f);
    EXPECT_SAME_FLOAT(1.5f, v.x);
    EXPECT_SAME_FLOAT(-2.0f, v.y);
    EXPECT_SAME_FLOAT(3.25f, v.z);
    EXPECT_SAME_FLOAT(1.0f, v.w);

    Vec4 copy(0.0f, 0.0f, 0.0f);
    copy = Make(1, 2, 3, 7);
    EXPECT_SAME_FLOAT(7.0f, copy.w);
}

TEST(Vec4, AddLeavesWAndRoundsOncePerComponent)
{
    Vec4 v = Make(1, 2, 3, 5);
    v += Make(1, 1, 1, 9);
    EXPECT_SAME_FLOAT(2.0f, v.x);
    EXPECT_SAME_FLOAT(3.0f, v.y);
    EXPECT_SAME_FLOAT(4.0f, v.z);
    EXPECT_SAME_FLOAT(5.0f, v.w);

    // Add is the same operation under its own name.
    Vec4 big(16777216.0f, 0.0f, 0.0f);
    big.Add(Vec4(1.0f, FLT_MIN, 0.0f));
    EXPECT_SAME_FLOAT(16777216.0f, big.x);  // ties to even, as float addition does
    EXPECT_SAME_FLOAT(FLT_MIN, big.y);
}

TEST(Vec4, DotIgnoresWAndSumsInOrderInDouble)
{
    EXPECT_EQ(32.0, Dot(Make(1, 2, 3, 100), Make(4, 5, 6, -100)));
    EXPECT_EQ(32.0, Make(1, 2, 3, 100).Dot(Make(4, 5, 6, -100)));

    // (x*x' + y*y') + z*z': 1e20 + 1 loses the 1 before -1e20 comes in.
    const Vec4 a(1e10f, 1.0f, 1e10f);
    const Vec4 b(1e10f, 1.0f, -1e10f);
    const double xx = 1e10f * static_cast<double>(1e10f);
    EXPECT_EQ((xx + 1.0) - xx, Dot(a, b));
    EXPECT_EQ(0.0, Dot(a, b));

    // Products are exact in double: a float sum would lose the small term.
    const Vec4 c(16777216.0f, 1.0f, 0.0f);
    const Vec4 ones(1.0f, 1.0f, 1.0f);
    EXPECT_EQ(16777217.0, Dot(c, ones));
}

TEST(Vec4, ScaledSetsWToOne)
{
    const Vec4 s = Scaled(Make(1, 2, 3, 0), 2.0f);
    EXPECT_SAME_FLOAT(2.0f, s.x);
    EXPECT_SAME_FLOAT(4.0f, s.y);
    EXPECT_SAME_FLOAT(6.0f, s.z);
    EXPECT_SAME_FLOAT(1.0f, s.w);

    // One rounding of the double product: 0.1f * 3 rounds to the float nearest.
    const Vec4 t = Scaled(Vec4(3.0f, 0.0f, -0.0f), 0.1f);
    EXPECT_SAME_FLOAT(static_cast<float>(0.1f * 3.0), t.x);
    EXPECT_SAME_FLOAT(-0.0f, t.z);
}

}  // namespace
