#include "texture/PictureScale.h"

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

// long x short / long, rounded to the nearest, at least 1.
std::int32_t ScaledSide(std::int32_t shortSide, std::int32_t longSide, std::int32_t maxSide)
{
    const std::uint64_t scaled =
        (static_cast<std::uint64_t>(shortSide) * static_cast<std::uint64_t>(maxSide) * 2 +
         static_cast<std::uint64_t>(longSide)) /
        (static_cast<std::uint64_t>(longSide) * 2);
    return scaled < 1 ? 1 : static_cast<std::int32_t>(scaled);
}

// Where each new column or row starts in the source: new index i covers
// source indices from edges[i] up to edges[i + 1]. Never empty, as the new
// side is never longer than the old.
std::vector<std::uint64_t> BoxEdges(std::int32_t from, std::int32_t to)
{
    std::vector<std::uint64_t> edges(static_cast<std::size_t>(to) + 1);
    for (std::size_t i = 0; i < edges.size(); ++i) {
        edges[i] = static_cast<std::uint64_t>(i) * static_cast<std::uint64_t>(from) /
                   static_cast<std::uint64_t>(to);
    }
    return edges;
}

}  // namespace

void ScaledPictureSize(std::int32_t width, std::int32_t height, std::int32_t maxSide,
                       std::int32_t* scaledWidth, std::int32_t* scaledHeight)
{
    *scaledWidth = width;
    *scaledHeight = height;
    if (width <= maxSide && height <= maxSide) {
        return;
    }
    if (width >= height) {
        *scaledWidth = maxSide;
        *scaledHeight = ScaledSide(height, width, maxSide);
    } else {
        *scaledHeight = maxSide;
        *scaledWidth = ScaledSide(width, height, maxSide);
    }
}

bool ScalePictureDown(PictureImage* image, std::int32_t maxSide)
{
    std::int32_t newWidth = 0;
    std::int32_t newHeight = 0;
    ScaledPictureSize(image->width, image->height, maxSide, &newWidth, &newHeight);
    if (newWidth == image->width && newHeight == image->height) {
        return true;
    }
    const std::size_t newRow = static_cast<std::size_t>(newWidth) * 3;
    PicturePixels scaled(
        static_cast<unsigned char*>(std::malloc(newRow * static_cast<std::size_t>(newHeight))));
    if (scaled == nullptr) {
        return false;
    }
    const std::vector<std::uint64_t> columns = BoxEdges(image->width, newWidth);
    const std::vector<std::uint64_t> rows = BoxEdges(image->height, newHeight);
    const std::size_t oldRow = static_cast<std::size_t>(image->width) * 3;
    std::vector<std::uint64_t> sums(newRow);
    for (std::size_t y = 0; y < static_cast<std::size_t>(newHeight); ++y) {
        std::fill(sums.begin(), sums.end(), 0);
        for (std::uint64_t sy = rows[y]; sy < rows[y + 1]; ++sy) {
            const unsigned char* from = image->rgb.get() + sy * oldRow;
            for (std::size_t x = 0; x < static_cast<std::size_t>(newWidth); ++x) {
                std::uint64_t* sum = &sums[x * 3];
                for (std::uint64_t sx = columns[x]; sx < columns[x + 1]; ++sx) {
                    sum[0] += from[sx * 3 + 0];
                    sum[1] += from[sx * 3 + 1];
                    sum[2] += from[sx * 3 + 2];
                }
            }
        }
        const std::uint64_t boxRows = rows[y + 1] - rows[y];
        unsigned char* to = scaled.get() + y * newRow;
        for (std::size_t x = 0; x < static_cast<std::size_t>(newWidth); ++x) {
            const std::uint64_t count = boxRows * (columns[x + 1] - columns[x]);
            for (std::size_t c = 0; c < 3; ++c) {
                to[x * 3 + c] = static_cast<unsigned char>((sums[x * 3 + c] + count / 2) / count);
            }
        }
    }
    image->width = newWidth;
    image->height = newHeight;
    image->rgb = std::move(scaled);
    return true;
}
