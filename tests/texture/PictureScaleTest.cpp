#include "texture/PictureScale.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

namespace {

PictureImage Make(std::int32_t width, std::int32_t height, const std::vector<unsigned char>& rgb)
{
    PictureImage image;
    image.width = width;
    image.height = height;
    image.rgb.reset(static_cast<unsigned char*>(std::malloc(rgb.size())));
    std::memcpy(image.rgb.get(), rgb.data(), rgb.size());
    return image;
}

std::vector<unsigned char> Bytes(const PictureImage& image)
{
    const unsigned char* p = image.rgb.get();
    return std::vector<unsigned char>(p, p + image.width * image.height * 3);
}

TEST(PictureScale, SizesKeepTheAspectWithinTheLongestSide)
{
    const struct {
        std::int32_t width, height, maxSide, scaledWidth, scaledHeight;
    } rows[] = {
        {256, 256, 1024, 256, 256},      // Demo.jpg's size: as it is
        {1024, 1024, 1024, 1024, 1024},  // exactly at the cap
        {1025, 1025, 1024, 1024, 1024},
        {6000, 4000, 1024, 1024, 683},  // 24 megapixels, 3:2: 682.67
        {4000, 6000, 1024, 683, 1024},
        {8256, 5504, 1024, 1024, 683},  // 45 megapixels
        {4032, 3024, 1024, 1024, 768},  // a phone's 4:3
        {3, 2048, 1024, 2, 1024},       // 1.5 rounds up
        {5, 2048, 1024, 3, 1024},       // 2.5 rounds up
        {100000, 1, 1024, 1024, 1},     // never below one pixel
        {1, 100000, 1024, 1, 1024},
        {2147483647, 2, 1024, 1024, 1},
    };
    for (const auto& row : rows) {
        std::int32_t width = 0;
        std::int32_t height = 0;
        ScaledPictureSize(row.width, row.height, row.maxSide, &width, &height);
        EXPECT_EQ(row.scaledWidth, width) << row.width << " x " << row.height;
        EXPECT_EQ(row.scaledHeight, height) << row.width << " x " << row.height;
    }
}

// Boxes of whole pixels, rounded means; uneven boxes where the sides do not
// divide.
TEST(PictureScale, EachNewPixelIsTheRoundedMeanOfItsBox)
{
    // 3 x 1 to 2 x 1: the first box is pixel 0, the second pixels 1 and 2.
    PictureImage row = Make(3, 1, {10, 20, 30, 100, 0, 255, 201, 1, 0});
    ASSERT_TRUE(ScalePictureDown(&row, 2));
    EXPECT_EQ(2, row.width);
    EXPECT_EQ(1, row.height);
    EXPECT_EQ((std::vector<unsigned char>{10, 20, 30, 151, 1, 128}), Bytes(row));

    // A one-pixel checker of black and white halves to grey: 127.5 rounds up.
    std::vector<unsigned char> checker;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            checker.insert(checker.end(), 3, (x + y) % 2 == 0 ? 0 : 255);
    PictureImage grey = Make(4, 4, checker);
    ASSERT_TRUE(ScalePictureDown(&grey, 2));
    EXPECT_EQ(std::vector<unsigned char>(12, 128), Bytes(grey));

    // Rows and columns both: 2 x 4 to 1 x 2 averages 2 x 2 boxes.
    PictureImage column = Make(2, 4, {0, 0, 0, 4, 4, 4, 8, 8, 8, 12, 12, 12,  //
                                      1, 1, 1, 1, 1, 1, 2, 2, 2, 2,  2,  3});
    ASSERT_TRUE(ScalePictureDown(&column, 2));
    EXPECT_EQ(1, column.width);
    EXPECT_EQ(2, column.height);
    EXPECT_EQ((std::vector<unsigned char>{6, 6, 6, 2, 2, 2}), Bytes(column));

    // Already small enough: the same block, untouched.
    PictureImage small = Make(2, 1, {1, 2, 3, 4, 5, 6});
    const unsigned char* block = small.rgb.get();
    ASSERT_TRUE(ScalePictureDown(&small, 2));
    EXPECT_EQ(block, small.rgb.get());
}

// A large picture's halves stay apart and keep their colours, the same on
// every run.
TEST(PictureScale, ALargePictureKeepsItsLayout)
{
    const std::int32_t width = 3000;
    const std::int32_t height = 2000;
    std::vector<unsigned char> rgb(static_cast<std::size_t>(width) * height * 3);
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x) {
            unsigned char* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
            p[0] = y < height / 2 ? 200 : 0;  // red top half
            p[2] = x < width / 2 ? 0 : 90;    // blue right half
            p[1] = static_cast<unsigned char>((x * 7 + y * 3) % 256);
        }
    PictureImage image = Make(width, height, rgb);
    PictureImage again = Make(width, height, rgb);
    ASSERT_TRUE(ScalePictureDown(&image, kPictureMaxSide));
    ASSERT_TRUE(ScalePictureDown(&again, kPictureMaxSide));
    ASSERT_EQ(1024, image.width);
    ASSERT_EQ(683, image.height);
    EXPECT_EQ(Bytes(image), Bytes(again));
    const unsigned char* p = image.rgb.get();
    const auto at = [&](int x, int y, int c) { return p[(y * 1024 + x) * 3 + c]; };
    EXPECT_EQ(200, at(10, 10, 0));
    EXPECT_EQ(0, at(10, 10, 2));
    EXPECT_EQ(0, at(1000, 670, 0));
    EXPECT_EQ(90, at(1000, 670, 2));
}

}  // namespace
