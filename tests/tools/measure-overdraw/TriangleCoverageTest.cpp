#include "TriangleCoverage.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace {

// The lower right half of a 16 x 16 square, counter-clockwise: its diagonal
// runs down from (16, 16) to (0, 0), a left edge, so the centres on it are
// in: the pixels with x >= y, 16 * 17 / 2 of them, in the blocks with
// bx >= by, 4 * 5 / 2 of them; its box is the whole square of 16 blocks.
TEST(CoverTriangle, HalfSquareTakesTheDiagonalOnItsLeftEdge)
{
    const TriangleCoverage lower = CoverTriangle({0, 0}, {16, 0}, {16, 16}, 64, 64);
    EXPECT_EQ(136, lower.pixels);
    EXPECT_EQ(10, lower.pixelBlocks);
    EXPECT_EQ(16, lower.boxBlocks);
}

// The other half, sharing the diagonal: x < y, 120 pixels, which still
// reach the four blocks on the diagonal. Between them the halves take every
// pixel of the square once, yet shade 20 blocks for 16.
TEST(CoverTriangle, TheOtherHalfLeavesTheDiagonalAndStillShadesItsBlocks)
{
    const TriangleCoverage upper = CoverTriangle({0, 0}, {16, 16}, {0, 16}, 64, 64);
    EXPECT_EQ(120, upper.pixels);
    EXPECT_EQ(10, upper.pixelBlocks);
    EXPECT_EQ(16, upper.boxBlocks);
}

TEST(CoverTriangle, WindingDoesNotMatter)
{
    const TriangleCoverage ccw = CoverTriangle({1.3, 2.1}, {30.2, 7.7}, {12.9, 25.4}, 64, 64);
    const TriangleCoverage cw = CoverTriangle({1.3, 2.1}, {12.9, 25.4}, {30.2, 7.7}, 64, 64);
    EXPECT_GT(ccw.pixels, 0);
    EXPECT_EQ(ccw.pixels, cw.pixels);
    EXPECT_EQ(ccw.pixelBlocks, cw.pixelBlocks);
    EXPECT_EQ(ccw.boxBlocks, cw.boxBlocks);
}

// A fan of slivers around a point: every shared edge is split by the rule,
// so the fan covers each pixel of the frame exactly once.
TEST(CoverTriangle, AFanOverTheFrameCoversEachPixelOnce)
{
    const int width = 37;
    const int height = 23;
    const WindowPoint centre{17.25, 9.5};
    const double radius = 100.0;
    const int slices = 61;
    // The last slice ends on the first point itself, not on one rounded
    // from an angle of 2 pi, so that the two share that edge exactly.
    auto rim = [&](int i) {
        const double angle = 2.0 * M_PI * (i % slices) / slices;
        return WindowPoint{centre.x + radius * std::cos(angle),
                           centre.y + radius * std::sin(angle)};
    };
    long long pixels = 0;
    for (int i = 0; i < slices; ++i) {
        pixels += CoverTriangle(centre, rim(i), rim(i + 1), width, height).pixels;
    }
    EXPECT_EQ(width * height, pixels);
}

// A thin sliver across a 16 x 16 square from corner to corner: its box
// holds all 16 blocks, its pixels only the 4 on the diagonal.
TEST(CoverTriangle, ASliverShadesFarFewerBlocksThanItsBox)
{
    const TriangleCoverage sliver = CoverTriangle({0, 0}, {16, 16}, {16, 15.2}, 64, 64);
    EXPECT_EQ(16, sliver.pixels);  // the centres on the diagonal, its left edge
    EXPECT_EQ(4, sliver.pixelBlocks);
    EXPECT_EQ(16, sliver.boxBlocks);
}

// Far larger than the frame: every pixel, and every block, partial ones at
// the right and top edges included (10 x 6 pixels: 3 x 2 blocks).
TEST(CoverTriangle, ATriangleBeyondTheFrameIsClippedToIt)
{
    const TriangleCoverage huge = CoverTriangle({-1e9, -1e9}, {1e9, -1e9}, {0, 1e9}, 10, 6);
    EXPECT_EQ(60, huge.pixels);
    EXPECT_EQ(6, huge.pixelBlocks);
    EXPECT_EQ(6, huge.boxBlocks);
}

TEST(CoverTriangle, OutsideTheFrameCountsNothing)
{
    const TriangleCoverage outside = CoverTriangle({-20, 5}, {-2, 5}, {-10, 30}, 64, 64);
    EXPECT_EQ(0, outside.pixels);
    EXPECT_EQ(0, outside.pixelBlocks);
    EXPECT_EQ(0, outside.boxBlocks);
}

TEST(CoverTriangle, NoAreaOrNotFiniteCountsNothing)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (const TriangleCoverage& none : {CoverTriangle({0, 0}, {8, 8}, {16, 16}, 64, 64),
                                         CoverTriangle({0, 0}, {nan, 8}, {16, 0}, 64, 64),
                                         CoverTriangle({0, 0}, {8, inf}, {16, 0}, 64, 64)}) {
        EXPECT_EQ(0, none.pixels);
        EXPECT_EQ(0, none.pixelBlocks);
        EXPECT_EQ(0, none.boxBlocks);
    }
}

TEST(IsCounterClockwise, FollowsTheWindingWithYUp)
{
    EXPECT_TRUE(IsCounterClockwise({0, 0}, {1, 0}, {0, 1}));
    EXPECT_FALSE(IsCounterClockwise({0, 0}, {0, 1}, {1, 0}));
    EXPECT_FALSE(IsCounterClockwise({0, 0}, {1, 1}, {2, 2}));
}

}  // namespace
