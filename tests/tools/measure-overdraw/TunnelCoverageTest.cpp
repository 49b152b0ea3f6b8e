#include "TunnelCoverage.h"

#include <cmath>

#include <gtest/gtest.h>

#include "effect/EffectState.h"
#include "effect/TunnelBuilder.h"

namespace {

// Within a thousandth of a pixel: the corners are given as floats.
void ExpectPoint(double x, double y, const WindowPoint& point)
{
    EXPECT_NEAR(x, point.x, 1e-3);
    EXPECT_NEAR(y, point.y, 1e-3);
}

TEST(ToWindow, TheProjectionFillsTheFrame)
{
    ExpectPoint(0, 0, ToWindow(-4.0f / 3.0f, -1.0f, 640, 480));
    ExpectPoint(320, 240, ToWindow(0.0f, 0.0f, 640, 480));
    ExpectPoint(640, 480, ToWindow(4.0f / 3.0f, 1.0f, 640, 480));
    // 1280 x 1024 is taller than 4:3: -4/3..4/3 across, the height to match.
    ExpectPoint(1280, 1024,
                ToWindow(4.0f / 3.0f, static_cast<float>(4.0 / 3.0 / 1.25), 1280, 1024));
    // 1000 x 500 is wider: -1..1 up, the width to match.
    ExpectPoint(1000, 500, ToWindow(2.0f, 1.0f, 1000, 500));
}

// Ring slot s as a circle of the given radius about the centre of the
// screen; counter-clockwise on the screen when forward.
void SetRing(int slot, float radius, bool forward)
{
    for (int q = 0; q <= kRingPoints; ++q) {
        const double angle = 2.0 * M_PI * (q % kRingPoints) / kRingPoints * (forward ? 1 : -1);
        g_strip[slot][q] = {static_cast<float>(radius * std::cos(angle)),
                            static_cast<float>(radius * std::sin(angle)), 0.0f, 0.0f};
    }
}

class CoverTunnelTest : public testing::Test {
protected:
    void SetUp() override { ResetEffectStateToLoadValues(); }
    void TearDown() override { ResetEffectStateToLoadValues(); }
};

// A ring far beyond the frame and a small one ahead: the strip between them
// (each triangle clockwise, as the tunnel's are) covers the frame but for
// the small ring's polygon, which a fan over the same window points fills
// exactly, each pixel once.
TEST_F(CoverTunnelTest, ARingPairCoversTheFrameButTheFarRing)
{
    const int width = 640;
    const int height = 480;
    g_ringCount = 2;
    g_polyStep = 1;
    SetRing(0, 100.0f, true);
    SetRing(1, 0.5f, true);
    const TunnelCoverage tunnel = CoverTunnel(width, height);
    EXPECT_EQ(128, tunnel.trianglesSent);
    EXPECT_EQ(0, tunnel.trianglesCulled);

    long long farRing = 0;
    const WindowPoint centre = ToWindow(0.0f, 0.0f, width, height);
    for (int q = 0; q < kRingPoints; ++q) {
        farRing += CoverTriangle(centre, ToWindow(g_strip[1][q].x, g_strip[1][q].y, width, height),
                                 ToWindow(g_strip[1][q + 1].x, g_strip[1][q + 1].y, width, height),
                                 width, height)
                       .pixels;
    }
    EXPECT_GT(farRing, 40000);  // about pi * 120 * 120 pixels
    EXPECT_EQ(static_cast<long long>(width) * height, tunnel.pixels + farRing);
    EXPECT_GE(tunnel.pixelBlocks * 16, tunnel.pixels);
    EXPECT_GE(tunnel.boxBlocks, tunnel.pixelBlocks);
}

// Seen from outside the strip faces the viewer and is culled whole.
TEST_F(CoverTunnelTest, AStripFacingTheViewerIsCulled)
{
    g_ringCount = 2;
    g_polyStep = 1;
    SetRing(0, 100.0f, false);
    SetRing(1, 0.5f, false);
    const TunnelCoverage tunnel = CoverTunnel(640, 480);
    EXPECT_EQ(128, tunnel.trianglesSent);
    EXPECT_EQ(128, tunnel.trianglesCulled);
    EXPECT_EQ(0, tunnel.pixels);
    EXPECT_EQ(0, tunnel.pixelBlocks);
}

// Every fourth point: 16 quads a ring pair, two triangles each.
TEST_F(CoverTunnelTest, CountsTheTrianglesOfEveryRingPairAtTheDetailSet)
{
    g_ringCount = 3;
    g_polyStep = 4;
    SetRing(0, 100.0f, true);
    SetRing(1, 0.5f, true);
    SetRing(2, 0.2f, true);
    EXPECT_EQ(2 * 16 * 2, CoverTunnel(640, 480).trianglesSent);

    g_ringCount = 0;
    EXPECT_EQ(0, CoverTunnel(640, 480).trianglesSent);
}

}  // namespace
