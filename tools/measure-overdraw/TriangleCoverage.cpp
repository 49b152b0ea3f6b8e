#include "TriangleCoverage.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

double Cross(const WindowPoint& a, const WindowPoint& b, const WindowPoint& c)
{
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

// A whole pixel index from a double that may lie far outside the frame:
// clamped first, so that the conversion cannot overflow.
long long ClampedIndex(double value, long long low, long long high)
{
    return static_cast<long long>(
        std::clamp(value, static_cast<double>(low), static_cast<double>(high)));
}

// One edge of a counter-clockwise triangle, from p to q, narrowing the span
// of pixel columns [*first, *last] of the row whose centres are at height yc.
// The crossing is computed from the edge's lower end whichever way the
// triangle runs along it, so that the two triangles sharing the edge get the
// very same number and split the row between them without a gap or overlap.
void ClipSpan(const WindowPoint& p, const WindowPoint& q, double yc, long long width,
              long long* first, long long* last)
{
    const double dy = q.y - p.y;
    if (dy == 0.0) {
        // Horizontal: a top edge (running left) keeps the centres on it.
        const double e = (q.x - p.x) * (yc - p.y);
        const bool inside = q.x < p.x ? e >= 0.0 : e > 0.0;
        if (!inside) {
            *first = width;
            *last = -1;
        }
        return;
    }
    const WindowPoint& low = p.y < q.y ? p : q;
    const WindowPoint& high = p.y < q.y ? q : p;
    const double crossing = low.x + (high.x - low.x) * ((yc - low.y) / (high.y - low.y));
    // The first column whose centre is at or right of the crossing.
    const long long atOrRight = ClampedIndex(std::ceil(crossing - 0.5), -1, width + 1);
    if (dy < 0.0) {
        *first = std::max(*first, atOrRight);  // left edge: centres on it are inside
    } else {
        *last = std::min(*last, atOrRight - 1);  // right edge: they are not
    }
}

}  // namespace

bool IsCounterClockwise(const WindowPoint& a, const WindowPoint& b, const WindowPoint& c)
{
    return Cross(a, b, c) > 0.0;
}

TriangleCoverage CoverTriangle(WindowPoint a, WindowPoint b, WindowPoint c, int width, int height)
{
    TriangleCoverage coverage;
    for (const WindowPoint& point : {a, b, c}) {
        if (!std::isfinite(point.x) || !std::isfinite(point.y)) {
            return coverage;
        }
    }
    const double area = Cross(a, b, c);
    if (area == 0.0 || width <= 0 || height <= 0) {
        return coverage;
    }
    if (area < 0.0) {
        std::swap(b, c);
    }

    // The pixels whose centres lie within the bounding box, in the frame.
    const double minX = std::min({a.x, b.x, c.x});
    const double maxX = std::max({a.x, b.x, c.x});
    const double minY = std::min({a.y, b.y, c.y});
    const double maxY = std::max({a.y, b.y, c.y});
    const long long column0 = ClampedIndex(std::ceil(minX - 0.5), 0, width);
    const long long column1 = ClampedIndex(std::floor(maxX - 0.5), -1, width - 1);
    const long long row0 = ClampedIndex(std::ceil(minY - 0.5), 0, height);
    const long long row1 = ClampedIndex(std::floor(maxY - 0.5), -1, height - 1);
    if (column0 > column1 || row0 > row1) {
        return coverage;
    }
    coverage.boxBlocks = (column1 / kShadeBlock - column0 / kShadeBlock + 1) *
                         (row1 / kShadeBlock - row0 / kShadeBlock + 1);

    // Row by row, a band of kShadeBlock rows at a time, marking the blocks
    // of the band that the row spans reach. A thin sliver may skip blocks
    // within its box, so the marks are kept per block, not as a range.
    const long long firstBlock = column0 / kShadeBlock;
    std::vector<char> marked(static_cast<std::size_t>(column1 / kShadeBlock - firstBlock + 1));
    for (long long band = row0 / kShadeBlock; band <= row1 / kShadeBlock; ++band) {
        std::fill(marked.begin(), marked.end(), 0);
        const long long bandEnd = std::min(row1, band * kShadeBlock + kShadeBlock - 1);
        for (long long row = std::max(row0, band * kShadeBlock); row <= bandEnd; ++row) {
            const double yc = static_cast<double>(row) + 0.5;
            long long first = column0;
            long long last = column1;
            ClipSpan(a, b, yc, width, &first, &last);
            ClipSpan(b, c, yc, width, &first, &last);
            ClipSpan(c, a, yc, width, &first, &last);
            if (first > last) {
                continue;
            }
            coverage.pixels += last - first + 1;
            for (long long block = first / kShadeBlock; block <= last / kShadeBlock; ++block) {
                char& mark = marked[static_cast<std::size_t>(block - firstBlock)];
                coverage.pixelBlocks += mark == 0;
                mark = 1;
            }
        }
    }
    return coverage;
}
