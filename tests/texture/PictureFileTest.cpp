#include "texture/PictureFile.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DamagedJpegs.h"
#include "PngTestFiles.h"
#include "TempDir.h"
#include "TestImages.h"

namespace {

Rgb8 Corners(int x, int y)
{
    // Red top left, green top right, blue bottom left, white bottom right.
    const bool right = x >= 8;
    const bool bottom = y >= 8;
    if (!bottom)
        return right ? Rgb8{0, 255, 0} : Rgb8{255, 0, 0};
    return right ? Rgb8{255, 255, 255} : Rgb8{0, 0, 255};
}

// The colour at (x, y) of a read picture.
Rgb8 At(const PictureImage& image, int x, int y)
{
    const unsigned char* p = image.rgb.get() + (y * image.width + x) * 3;
    return Rgb8{p[0], p[1], p[2]};
}

void ExpectNear(Rgb8 expected, Rgb8 got, const char* where)
{
    EXPECT_NEAR(expected.r, got.r, 8) << where;
    EXPECT_NEAR(expected.g, got.g, 8) << where;
    EXPECT_NEAR(expected.b, got.b, 8) << where;
}

// The same 16 x 16 picture as JPEG, PNG and BMP, each under a name that
// says another format: all read the same, the right way up.
TEST(PictureFile, FormatIsToldByContentAndEveryFormatReadsTopRowFirst)
{
    TempDir dir;
    ASSERT_TRUE(WriteTestJpeg(dir.Path("jpeg.png"), 16, 16, 3, Corners));
    std::vector<unsigned char> rows;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const Rgb8 c = Corners(x, y);
            rows.insert(rows.end(), {c.r, c.g, c.b});
        }
    }
    PngLayout layout;
    layout.width = 16;
    layout.height = 16;
    WriteBytes(dir.Path("png.bmp"), MakePng(layout, rows));
    BmpLayout bmp;
    bmp.width = 16;
    bmp.height = 16;
    // BMP rows are stored bottom row first.
    WriteBytes(dir.Path("bmp.jpg"),
               MakeBmp(bmp, BmpRows(16, 16, [](int x, int row) { return Corners(x, 15 - row); })));

    for (const char* name : {"jpeg.png", "png.bmp", "bmp.jpg"}) {
        SCOPED_TRACE(name);
        PictureImage image;
        std::string reason;
        ASSERT_TRUE(ReadPictureFile(dir.Path(name).c_str(), &image, &reason)) << reason;
        ASSERT_EQ(16, image.width);
        ASSERT_EQ(16, image.height);
        ExpectNear({255, 0, 0}, At(image, 2, 2), "top left");
        ExpectNear({0, 255, 0}, At(image, 13, 2), "top right");
        ExpectNear({0, 0, 255}, At(image, 2, 13), "bottom left");
        ExpectNear({255, 255, 255}, At(image, 13, 13), "bottom right");
    }

    const unsigned char png[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    const unsigned char jpeg[] = {0xFF, 0xD8, 0xFF, 0xE1};
    const unsigned char bmpHead[] = {'B', 'M', 0, 0};
    const unsigned char gif[] = {'G', 'I', 'F', '8', '9', 'a'};
    EXPECT_EQ(PictureFormat::kPng, SniffPictureFormat(png, sizeof png));
    EXPECT_EQ(PictureFormat::kUnknown, SniffPictureFormat(png, sizeof png - 1));
    EXPECT_EQ(PictureFormat::kJpeg, SniffPictureFormat(jpeg, sizeof jpeg));
    EXPECT_EQ(PictureFormat::kUnknown, SniffPictureFormat(jpeg, 2));
    EXPECT_EQ(PictureFormat::kBmp, SniffPictureFormat(bmpHead, sizeof bmpHead));
    EXPECT_EQ(PictureFormat::kUnknown, SniffPictureFormat(gif, sizeof gif));
    EXPECT_EQ(PictureFormat::kUnknown, SniffPictureFormat(gif, 0));
}

// Whatever is wrong, a reason in a few words and an empty image.
TEST(PictureFile, FilesThatCannotBeReadSayWhy)
{
    TempDir dir;
    WriteBytes(dir.Path("empty.jpg"), {});
    WriteBytes(dir.Path("gif.png"), {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0});
    WriteBytes(dir.Path("cut.png"), {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13});
    WriteBytes(dir.Path("cut.jpg"), {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F'});
    BmpLayout rle;
    rle.width = 2;
    rle.height = 2;
    rle.compression = 1;
    WriteBytes(dir.Path("rle.bmp"), MakeBmp(rle, BmpRows(2, 2, Corners)));
    const struct {
        std::string path;
        const char* reason;
    } cases[] = {
        {dir.Path("missing.png"), "cannot open the file"},
        {dir.Root(), "cannot open the file"},
        {dir.Path("empty.jpg"), "empty file"},
        {dir.Path("gif.png"), "not a JPEG, PNG or BMP picture"},
        {dir.Path("cut.png"), "PNG header cut short"},
        {dir.Path("cut.jpg"), "corrupt, truncated or unsupported JPEG data"},
        {dir.Path("rle.bmp"), "BMP not 24-bit uncompressed, or of a size that cannot be shown"},
    };
    for (const auto& entry : cases) {
        PictureImage image;
        std::string reason;
        EXPECT_FALSE(ReadPictureFile(entry.path.c_str(), &image, &reason)) << entry.path;
        EXPECT_EQ(entry.reason, reason) << entry.path;
        EXPECT_EQ(nullptr, image.rgb.get());
        EXPECT_EQ(0, image.width);
    }
}

// The JPEG adapter's damaged files, through the picture reader: every one
// that libjpeg-turbo refuses somewhere (all of them) refused, none handing
// over pixels.
TEST(PictureFile, DamagedJpegsAreRefused)
{
    TempDir dir;
    for (const DamagedJpeg& file : DamagedJpegs()) {
        SCOPED_TRACE(file.name);
        ASSERT_NE(JpegFailsAt::kNowhere, file.libjpeg);
        ASSERT_NE(JpegFailsAt::kNotRun, file.libjpeg);
        const std::string path = file.make(dir);
        PictureImage image;
        std::string reason;
        EXPECT_FALSE(ReadPictureFile(path.c_str(), &image, &reason));
        EXPECT_FALSE(reason.empty());
        EXPECT_EQ(nullptr, image.rgb.get());
    }
}

}  // namespace
