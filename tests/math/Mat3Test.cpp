#include "math/Mat3.h"

#include <cmath>

#include "FloatBits.h"

namespace {

Vec4 Make(float x, float y, float z, float w)
{
    Vec4 v(x, y, z);
    v.w = w;
    return v;
}

void ExpectVec(const Vec4& expected, const Vec4& actual)
{
    EXPECT_SAME_FLOAT(expected.x, actual.x);
    EXPECT_SAME_FLOAT(expected.y, actual.y);
    EXPECT_SAME_FLOAT(expected.z, actual.z);
    EXPECT_SAME_FLOAT(expected.w, actual.w);
}

float F(double value)
{
    return static_cast<float>(value);
}

TEST(Mat3, NewMatrixIsIdentityAndKeepsW)
{
    const Mat3 m;
    ExpectVec(Make(1, 0, 0, 1), m.row0);
    ExpectVec(Make(0, 1, 0, 1), m.row1);
    ExpectVec(Make(0, 0, 1, 1), m.row2);
    Vec4 v = Make(1, 2, 3, 7);
    m.Transform(v);
    ExpectVec(Make(1, 2, 3, 7), v);
}

TEST(Mat3, ZeroAnglesGiveNegativeZeroAndLeaveRowW)
{
    Mat3 m;
    m.row0.w = 5.0f;
    m.row1.w = 6.0f;
    m.row2.w = 7.0f;
    m.FromAngles(0.0f, 0.0f, 0.0f);
    ExpectVec(Make(1, 0, 0, 5), m.row0);
    ExpectVec(Make(-0.0f, 1, 0, 6), m.row1);
    ExpectVec(Make(0, 0, 1, 7), m.row2);
}

// The three rotation senses: each test catches a swapped sign or axis.
TEST(Mat3, RotationDirections)
{
    const float c = F(std::cos(0.5)), s = F(std::sin(0.5));
    Mat3 m;

    m.FromAngles(0, 0, 0.5f);  // positive c turns +x towards -y
    Vec4 v = Make(1, 0, 0, 1);
    m.Transform(v);
    ExpectVec(Make(c, -s, 0, 1), v);

    m.FromAngles(0.5f, 0, 0);  // positive a turns +y towards -z
    v = Make(0, 1, 0, 1);
    m.Transform(v);
    ExpectVec(Make(0, c, -s, 1), v);

    m.FromAngles(0, 0.5f, 0);  // positive b turns +x towards +z
    v = Make(1, 0, 0, 1);
    m.Transform(v);
    ExpectVec(Make(c, 0, s, 1), v);
}

// The composed order Ry(-b) Rz(-c) Rx(-a): checked against products of the
// single-axis matrices, which fixes the order but not the rounding.
TEST(Mat3, ComposedRotationIsYThenZThenXApplied)
{
    const double a = 0.3, b = -0.7, c = 1.1;
    Mat3 m;
    m.FromAngles(static_cast<float>(a), static_cast<float>(b), static_cast<float>(c));
    const double ca = std::cos(-a), sa = std::sin(-a);
    const double cb = std::cos(-b), sb = std::sin(-b);
    const double cc = std::cos(-c), sc = std::sin(-c);
    const double rx[3][3] = {{1, 0, 0}, {0, ca, -sa}, {0, sa, ca}};
    const double ry[3][3] = {{cb, 0, sb}, {0, 1, 0}, {-sb, 0, cb}};
    const double rz[3][3] = {{cc, -sc, 0}, {sc, cc, 0}, {0, 0, 1}};
    double yz[3][3] = {}, yzx[3][3] = {};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k)
                yz[i][j] += ry[i][k] * rz[k][j];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k)
                yzx[i][j] += yz[i][k] * rx[k][j];
    const Vec4* rows[3] = {&m.row0, &m.row1, &m.row2};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(yzx[i][0], rows[i]->x, 1e-6) << "row " << i;
        EXPECT_NEAR(yzx[i][1], rows[i]->y, 1e-6) << "row " << i;
        EXPECT_NEAR(yzx[i][2], rows[i]->z, 1e-6) << "row " << i;
    }
}

// Reference for one entry, row0.y = ca*sc*cb + sa*sb, with the trig values
// either rounded to float first (as the program must) or left in double.
// The angles are widened before the trig calls: std::cos(float) is cosf.
double Row0Y(double a, double b, double c, bool roundTrig)
{
    auto r = [roundTrig](double v) { return roundTrig ? static_cast<double>(F(v)) : v; };
    const double ca = r(std::cos(a)), sa = r(std::sin(a));
    const double cb = r(std::cos(b)), sb = r(std::sin(b));
    const double sc = r(std::sin(c));
    return ca * sc * cb + sa * sb;
}

TEST(Mat3, EntriesUseFloatRoundedSinesAndCosines)
{
    int discriminating = 0;
    Mat3 m;
    for (int i = 1; i <= 200; ++i) {
        const float a = F(0.0031 * i), b = F(-0.0123 * i), c = F(0.0071 * i);
        m.FromAngles(a, b, c);
        const float expected = F(Row0Y(a, b, c, true));
        EXPECT_SAME_FLOAT(expected, m.row0.y) << "angles " << a << ", " << b << ", " << c;
        if (expected != F(Row0Y(a, b, c, false)))
            ++discriminating;
    }
    // The sweep must contain angles where skipping the float rounding shows.
    EXPECT_GT(discriminating, 0);
}

TEST(Mat3, TransformRoundsEachOutputOnceAndKeepsW)
{
    Mat3 m;
    m.row0 = Vec4(1.0f, 1.0f, 1.0f);
    m.row1 = Vec4(0.0f, 1.0f, 0.0f);
    m.row2 = Vec4(1.0f, 0.0f, 1.0f);
    // A float accumulation would absorb the 1 into 1e8 and end with 0.
    Vec4 v = Make(1e8f, 1.0f, -1e8f, 7.0f);
    m.Transform(v);
    ExpectVec(Make(1.0f, 1.0f, 0.0f, 7.0f), v);

    // The two-argument form writes only x, y, z of out.
    Vec4 out = Make(9, 9, 9, 3);
    m.Transform(Make(1, 2, 3, 4), out);
    ExpectVec(Make(6, 2, 4, 3), out);
}

TEST(Mat3, RepeatedRotationKeepsLengthUpToRounding)
{
    Mat3 m;
    m.FromAngles(0.0167f, 0.067f, 0.033f);
    Vec4 v(0.0f, 8.0f, 0.0f);
    for (int i = 0; i < 1000; ++i)
        m.Transform(v);
    EXPECT_NEAR(8.0, std::sqrt(Dot(v, v)), 1e-3);
}

}  // namespace
