#include "PaintTexture.h"

#include <cstddef>
#include <vector>

#include <gtest/gtest.h>

namespace {

// The tunnel repeats the texture around every ring and along the path, so a
// window painted across the tile's edges must be the tile shifted round: any
// feature, noise lattice or lighting step that does not repeat with the
// image shows up as a difference along the seam.
TEST(PaintTexture, WindowsAcrossTheEdgesAreTheTileShiftedRound)
{
    const std::vector<unsigned char> tile = PaintTexture();
    ASSERT_EQ(static_cast<std::size_t>(kTextureSize) * kTextureSize * 3, tile.size());

    const int origins[][2] = {{128, 200}, {-37, 5}, {kTextureSize, -kTextureSize}};
    for (const auto& origin : origins) {
        const std::vector<unsigned char> window = PaintTexture(origin[0], origin[1]);
        int differences = 0;
        for (int y = 0; y < kTextureSize; ++y) {
            for (int x = 0; x < kTextureSize; ++x) {
                const int tx = ((x + origin[0]) % kTextureSize + kTextureSize) % kTextureSize;
                const int ty = ((y + origin[1]) % kTextureSize + kTextureSize) % kTextureSize;
                for (int c = 0; c < 3; ++c) {
                    const std::size_t w = (static_cast<std::size_t>(y) * kTextureSize + x) * 3 + c;
                    const std::size_t t =
                        (static_cast<std::size_t>(ty) * kTextureSize + tx) * 3 + c;
                    differences += window[w] != tile[t];
                }
            }
        }
        EXPECT_EQ(0, differences) << "window at " << origin[0] << ", " << origin[1];
    }
}

// Worth watching when shaded darker with distance: both deep shadows and
// bright highlights, not a flat mid-grey.
TEST(PaintTexture, HasStrongContrast)
{
    const std::vector<unsigned char> tile = PaintTexture();
    std::size_t dark = 0;
    std::size_t bright = 0;
    for (std::size_t i = 0; i < tile.size(); i += 3) {
        const int luma = (tile[i] * 299 + tile[i + 1] * 587 + tile[i + 2] * 114) / 1000;
        dark += luma < 40;
        bright += luma > 200;
    }
    const std::size_t pixels = tile.size() / 3;
    EXPECT_GT(dark, pixels / 50);
    EXPECT_GT(bright, pixels / 50);
}

}  // namespace
