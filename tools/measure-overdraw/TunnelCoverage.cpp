#include "TunnelCoverage.h"

#include "effect/EffectState.h"
#include "effect/TunnelBuilder.h"

namespace {

constexpr double kFourThirds = 4.0 / 3.0;

void AddTriangle(const WindowPoint& a, const WindowPoint& b, const WindowPoint& c, int width,
                 int height, TunnelCoverage* tally)
{
    ++tally->trianglesSent;
    if (IsCounterClockwise(a, b, c)) {
        ++tally->trianglesCulled;
        return;
    }
    const TriangleCoverage coverage = CoverTriangle(a, b, c, width, height);
    tally->trianglesCovering += coverage.pixels > 0;
    tally->pixels += coverage.pixels;
    tally->pixelBlocks += coverage.pixelBlocks;
    tally->boxBlocks += coverage.boxBlocks;
}

}  // namespace

WindowPoint ToWindow(float x, float y, int width, int height)
{
    // The aspect rounded to a float, as the renderer compares it.
    const double aspect =
        static_cast<float>(static_cast<double>(width) / static_cast<double>(height));
    double halfWidth = kFourThirds;
    double halfHeight = kFourThirds / aspect;
    if (aspect > kFourThirds) {
        halfWidth = aspect;
        halfHeight = 1.0;
    }
    return {(static_cast<double>(x) / halfWidth + 1.0) * 0.5 * width,
            (static_cast<double>(y) / halfHeight + 1.0) * 0.5 * height};
}

TunnelCoverage CoverTunnel(int width, int height)
{
    TunnelCoverage tally;
    if (g_polyStep <= 0) {
        return tally;  // no strip was laid out
    }
    for (int p = g_ringCount - 2; p >= 0; --p) {
        const StripVertex* nearRow = g_strip[p];
        const StripVertex* farRow = g_strip[p + 1];
        WindowPoint nearPoint = ToWindow(nearRow[0].x, nearRow[0].y, width, height);
        WindowPoint farPoint = ToWindow(farRow[0].x, farRow[0].y, width, height);
        for (int q = g_polyStep; q <= kRingPoints; q += g_polyStep) {
            const WindowPoint nextNear = ToWindow(nearRow[q].x, nearRow[q].y, width, height);
            const WindowPoint nextFar = ToWindow(farRow[q].x, farRow[q].y, width, height);
            // The quad strip's quad: near, far, next far, next near.
            AddTriangle(nearPoint, farPoint, nextFar, width, height, &tally);
            AddTriangle(nearPoint, nextFar, nextNear, width, height, &tally);
            nearPoint = nextNear;
            farPoint = nextFar;
        }
    }
    return tally;
}
