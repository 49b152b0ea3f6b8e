#include "texture/BmpFile.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestImages.h"

namespace {

// Owns what ReadBmpFile hands back.
struct ReadResult {
    BmpResult result;
    BmpImage image;
    ~ReadResult() { std::free(image.pixels); }
};

void Read(const std::string& path, ReadResult* out)
{
    out->result = ReadBmpFile(path.c_str(), &out->image);
}

Rgb8 Colour(int x, int row)
{
    return Rgb8{static_cast<unsigned char>(10 + 40 * x), static_cast<unsigned char>(100 + row),
                static_cast<unsigned char>(200 - x - row)};
}

int OpenDescriptors()
{
#if defined(_WIN32)
    return 0;  // no descriptor table to count there
#else
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        (void)entry;
        ++count;
    }
    return count;
#endif
}

TEST(BmpFile, ThreeByTwoWithStoredSizeZeroReadsTwentyFourBytes)
{
    TempDir dir;
    BmpLayout layout;
    layout.width = 3;
    layout.height = 2;
    const std::vector<unsigned char> rows = BmpRows(3, 2, Colour);
    ASSERT_EQ(24u, rows.size());  // 9-byte rows padded to 12
    WriteBytes(dir.Path("a.bmp"), MakeBmp(layout, rows));

    ReadResult r;
    Read(dir.Path("a.bmp"), &r);
    ASSERT_EQ(BmpResult::kOk, r.result);
    EXPECT_EQ(3, r.image.width);
    EXPECT_EQ(2, r.image.height);
    ASSERT_EQ(24u, r.image.pixelBytes);
    EXPECT_EQ(rows, std::vector<unsigned char>(r.image.pixels, r.image.pixels + 24));
}

TEST(BmpFile, StoredSizeIsTheReadLengthEvenWhenLargerThanNeeded)
{
    TempDir dir;
    BmpLayout layout;
    layout.width = 2;
    layout.height = 2;
    layout.storedSize = 20;  // 16 would do
    std::vector<unsigned char> data = BmpRows(2, 2, Colour);
    data.insert(data.end(), {1, 2, 3, 4});
    WriteBytes(dir.Path("larger.bmp"), MakeBmp(layout, data));
    data.resize(16);
    WriteBytes(dir.Path("cut.bmp"), MakeBmp(layout, data));

    ReadResult larger;
    Read(dir.Path("larger.bmp"), &larger);
    ASSERT_EQ(BmpResult::kOk, larger.result);
    EXPECT_EQ(20u, larger.image.pixelBytes);
    EXPECT_EQ(4, larger.image.pixels[19]);

    // The file holds the 16 bytes an image needs, but not the 20 it promises.
    ReadResult cut;
    Read(dir.Path("cut.bmp"), &cut);
    EXPECT_EQ(BmpResult::kShortPixels, cut.result);
    EXPECT_EQ(nullptr, cut.image.pixels);
    EXPECT_EQ(2, cut.image.width);
    EXPECT_EQ(2, cut.image.height);
}

TEST(BmpFile, TopDownRowsAreTurnedOverToBottomRowFirst)
{
    TempDir dir;
    BmpLayout layout;
    layout.width = 3;
    layout.height = 3;
    const std::vector<unsigned char> bottomUp = BmpRows(3, 3, Colour);
    WriteBytes(dir.Path("up.bmp"), MakeBmp(layout, bottomUp));
    layout.height = -3;
    const std::vector<unsigned char> topDown =
        BmpRows(3, 3, [](int x, int row) { return Colour(x, 2 - row); });
    WriteBytes(dir.Path("down.bmp"), MakeBmp(layout, topDown));

    ReadResult up;
    ReadResult down;
    Read(dir.Path("up.bmp"), &up);
    Read(dir.Path("down.bmp"), &down);
    ASSERT_EQ(BmpResult::kOk, up.result);
    ASSERT_EQ(BmpResult::kOk, down.result);
    EXPECT_EQ(3, down.image.height);
    ASSERT_EQ(up.image.pixelBytes, down.image.pixelBytes);
    EXPECT_EQ(
        std::vector<unsigned char>(up.image.pixels, up.image.pixels + up.image.pixelBytes),
        std::vector<unsigned char>(down.image.pixels, down.image.pixels + down.image.pixelBytes));
}

struct BadFile {
    const char* name;
    std::vector<unsigned char> bytes;
    BmpResult expected;
};

std::vector<unsigned char> Bmp(BmpLayout layout, std::size_t pixelBytes = 16)
{
    if (layout.width == 0 && layout.height == 0) {
        layout.width = 2;
        layout.height = 2;
    }
    return MakeBmp(layout, std::vector<unsigned char>(pixelBytes, 0x55));
}

template <typename Change>
BmpLayout With(Change change)
{
    BmpLayout layout;
    layout.width = 2;
    layout.height = 2;
    change(&layout);
    return layout;
}

std::vector<BadFile> BadFiles()
{
    std::vector<unsigned char> thirteen = Bmp({});
    thirteen.resize(13);
    std::vector<unsigned char> swapped = Bmp({});
    std::swap(swapped[0], swapped[1]);
    std::vector<unsigned char> infoCut = Bmp({});
    infoCut.resize(40);
    return {
        {"EmptyFile", {}, BmpResult::kShortHeader},
        {"ThirteenBytes", thirteen, BmpResult::kShortHeader},
        {"MagicSwapped", swapped, BmpResult::kNotBmp},
        {"OffsetBelowHeader", Bmp(With([](BmpLayout* s) { s->pixelOffset = 10; })),
         BmpResult::kBadInfoSize},
        {"CoreHeaderOnly", Bmp(With([](BmpLayout* s) { s->pixelOffset = 26; })),
         BmpResult::kBadInfoSize},
        {"InfoOneByteShort", Bmp(With([](BmpLayout* s) { s->pixelOffset = 37; })),
         BmpResult::kBadInfoSize},
        {"OffsetFarBeyondFile", Bmp(With([](BmpLayout* s) { s->pixelOffset = 0xFFFFFFF0u; })),
         BmpResult::kShortInfo},
        {"InfoCut", infoCut, BmpResult::kShortInfo},
        {"ThirtyTwoBits", Bmp(With([](BmpLayout* s) { s->bitsPerPixel = 32; }), 64),
         BmpResult::kUnsupported},
        {"EightBits", Bmp(With([](BmpLayout* s) { s->bitsPerPixel = 8; })),
         BmpResult::kUnsupported},
        {"Rle8", Bmp(With([](BmpLayout* s) { s->compression = 1; })), BmpResult::kUnsupported},
        {"WidthZero", Bmp(With([](BmpLayout* s) { s->width = 0; })), BmpResult::kUnsupported},
        {"HeightZero", Bmp(With([](BmpLayout* s) { s->height = 0; })), BmpResult::kUnsupported},
        {"WidthNegative", Bmp(With([](BmpLayout* s) { s->width = -2; })), BmpResult::kUnsupported},
        {"RowBytesOverflow32Bits", Bmp(With([](BmpLayout* s) { s->width = 0x7FFFFFFF; })),
         BmpResult::kUnsupported},
        {"BlockOverflows32Bits", Bmp(With([](BmpLayout* s) {
             s->width = 40000;
             s->height = 40000;
         })),
         BmpResult::kUnsupported},
        {"HeightMinimum", Bmp(With([](BmpLayout* s) { s->height = INT32_MIN; })),
         BmpResult::kUnsupported},
        {"StoredSizeTooSmall", Bmp(With([](BmpLayout* s) { s->storedSize = 4; })),
         BmpResult::kUnsupported},
        {"StoredSizeMissesLastPadding", Bmp(With([](BmpLayout* s) { s->storedSize = 14; })),
         BmpResult::kUnsupported},
        {"PixelsCut", Bmp(With([](BmpLayout*) {}), 15), BmpResult::kShortPixels},
        {"StoredSizeFarBeyondFile", Bmp(With([](BmpLayout* s) { s->storedSize = 0xFFFFFFF0u; })),
         BmpResult::kShortPixels},
    };
}

void PrintTo(const BadFile& file, std::ostream* out)
{
    *out << file.name;
}

class BmpFileRejects : public ::testing::TestWithParam<BadFile> {};

TEST_P(BmpFileRejects, WithAClearResultAndNothingHeld)
{
    const BadFile& bad = GetParam();
    TempDir dir;
    WriteBytes(dir.Path("bad.bmp"), bad.bytes);
    const int descriptorsBefore = OpenDescriptors();

    ReadResult r;
    Read(dir.Path("bad.bmp"), &r);
    EXPECT_EQ(bad.expected, r.result);
    EXPECT_EQ(nullptr, r.image.pixels);
    EXPECT_EQ(descriptorsBefore, OpenDescriptors()) << "file left open";
    // Only a file whose headers were accepted tells its size.
    if (bad.expected == BmpResult::kShortPixels) {
        EXPECT_EQ(2, r.image.width);
        EXPECT_EQ(2, r.image.height);
    } else {
        EXPECT_EQ(0, r.image.width);
        EXPECT_EQ(0, r.image.height);
    }
}

INSTANTIATE_TEST_SUITE_P(BadInput, BmpFileRejects, ::testing::ValuesIn(BadFiles()),
                         [](const ::testing::TestParamInfo<BadFile>& param) {
                             return param.param.name;
                         });

TEST(BmpFile, MissingFileOrNoPathCannotBeOpened)
{
    TempDir dir;
    ReadResult missing;
    Read(dir.Path("missing.bmp"), &missing);
    EXPECT_EQ(BmpResult::kCannotOpen, missing.result);

    BmpImage image;
    EXPECT_EQ(BmpResult::kCannotOpen, ReadBmpFile(nullptr, &image));
    EXPECT_EQ(nullptr, image.pixels);
}

}  // namespace
