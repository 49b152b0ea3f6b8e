#include "platform/JpegLibrary.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestImages.h"

namespace {

// A zero-filled record, initialised, pointing at `path`; freed at the end.
class Session {
public:
    explicit Session(const std::string& path) : path_(path)
    {
        std::memset(&record_, 0, sizeof record_);
        initStatus_ = JpegInit(&record_);
        JpegSetFileName(&record_, path_.c_str());
    }
    ~Session()
    {
        if (initStatus_ == kJpegOk) {
            JpegFree(&record_);
        }
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    JpegRecord* record() { return &record_; }
    std::int32_t initStatus() const { return initStatus_; }

    // Describes an output block of width x height x channels bytes.
    void SetOutput(unsigned char* pixels, std::int32_t width, std::int32_t height,
                   std::int32_t channels, std::int32_t colour)
    {
        JpegSetOutputPixels(&record_, pixels);
        JpegSetField(&record_, kJpegOutWidth, width);
        JpegSetField(&record_, kJpegOutHeight, height);
        JpegSetField(&record_, kJpegOutChannels, channels);
        JpegSetField(&record_, kJpegOutColour, colour);
    }

private:
    std::string path_;
    JpegRecord record_;
    std::int32_t initStatus_;
};

std::uint32_t Low32(const void* pointer)
{
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(pointer));
}

Rgb8 TopRedBottomBlue(int x, int y)
{
    return y == 0 ? Rgb8{240, 20, 20} : Rgb8{20, 20, static_cast<unsigned char>(240 - x)};
}

// The block is exactly as large as the image: ASan reports any write past it.
std::unique_ptr<unsigned char[]> Block(std::size_t bytes)
{
    return std::unique_ptr<unsigned char[]>(new unsigned char[bytes]);
}

TEST(JpegLibrary, ParameterReadThenWholeImageReadTopRowFirst)
{
    TempDir dir;
    const std::string path = dir.Path("odd.jpg");
    ASSERT_TRUE(WriteTestJpeg(path, 7, 3, 3, TopRedBottomBlue));

    Session s(path);
    ASSERT_EQ(kJpegOk, s.initStatus());
    EXPECT_EQ(kJpegOk, JpegRead(s.record(), kJpegReadParams));
    EXPECT_EQ(7, JpegGetField(s.record(), kJpegImageWidth));
    EXPECT_EQ(3, JpegGetField(s.record(), kJpegImageHeight));

    auto pixels = Block(7 * 3 * 3);
    s.SetOutput(pixels.get(), 7, 3, 3, kJpegColourRgb);
    // The 32-bit fields hold the addresses as far as they fit.
    EXPECT_EQ(Low32(pixels.get()), static_cast<std::uint32_t>(JpegGetField(s.record(), kJpegOutPixels)));
    ASSERT_EQ(kJpegOk, JpegRead(s.record(), kJpegReadWholeImage));
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 7; ++x) {
            const unsigned char* p = &pixels[static_cast<std::size_t>(y * 7 + x) * 3];
            const Rgb8 c = TopRedBottomBlue(x, y);
            EXPECT_NEAR(c.r, p[0], 8) << x << "," << y;
            EXPECT_NEAR(c.g, p[1], 8) << x << "," << y;
            EXPECT_NEAR(c.b, p[2], 8) << x << "," << y;
        }
    }
}

TEST(JpegLibrary, FileNameFieldHoldsTheAddressAsFarAsItFits)
{
    const std::string path = "some.jpg";
    JpegRecord record;
    std::memset(&record, 0, sizeof record);
    JpegSetFileName(&record, path.c_str());
    EXPECT_EQ(Low32(path.c_str()), static_cast<std::uint32_t>(JpegGetField(&record, kJpegFileName)));
    // Fields are little-endian 32-bit values at their byte offsets.
    JpegSetField(&record, kJpegOutWidth, 0x01020304);
    EXPECT_EQ(0x04, record.bytes[8]);
    EXPECT_EQ(0x01, record.bytes[11]);
    JpegSetField(&record, kJpegOutHeight, -2);
    EXPECT_EQ(-2, JpegGetField(&record, kJpegOutHeight));
}

TEST(JpegLibrary, GreyFromColourAndColourFromGrey)
{
    TempDir dir;
    const std::string colour = dir.Path("colour.jpg");
    const std::string grey = dir.Path("grey.jpg");
    ASSERT_TRUE(WriteTestJpeg(colour, 4, 2, 3, [](int, int y) {
        return y == 0 ? Rgb8{200, 200, 200} : Rgb8{50, 50, 50};
    }));
    ASSERT_TRUE(WriteTestJpeg(grey, 3, 1, 1, [](int, int) { return Rgb8{120, 0, 0}; }));

    Session a(colour);
    ASSERT_EQ(kJpegOk, JpegRead(a.record(), kJpegReadParams));
    auto greyPixels = Block(4 * 2);
    a.SetOutput(greyPixels.get(), 4, 2, 1, kJpegColourGrey);
    ASSERT_EQ(kJpegOk, JpegRead(a.record(), kJpegReadWholeImage));
    EXPECT_NEAR(200, greyPixels[0], 3);
    EXPECT_NEAR(50, greyPixels[7], 3);

    Session b(grey);
    ASSERT_EQ(kJpegOk, JpegRead(b.record(), kJpegReadParams));
    auto rgbPixels = Block(3 * 1 * 3);
    b.SetOutput(rgbPixels.get(), 3, 1, 3, kJpegColourRgb);
    ASSERT_EQ(kJpegOk, JpegRead(b.record(), kJpegReadWholeImage));
    for (int i = 0; i < 9; ++i) {
        EXPECT_NEAR(120, rgbPixels[i], 2) << i;
    }
}

TEST(JpegLibrary, CallsOutsideInitAndFreeFail)
{
    TempDir dir;
    const std::string path = dir.Path("a.jpg");
    ASSERT_TRUE(WriteTestJpeg(path, 2, 2, 3, TopRedBottomBlue));
    JpegRecord record;
    std::memset(&record, 0, sizeof record);
    JpegSetFileName(&record, path.c_str());

    EXPECT_EQ(kJpegErrNotInitialised, JpegRead(&record, kJpegReadParams));
    EXPECT_EQ(kJpegErrNotInitialised, JpegFree(&record));
    ASSERT_EQ(kJpegOk, JpegInit(&record));
    EXPECT_EQ(kJpegOk, JpegRead(&record, kJpegReadParams));
    EXPECT_EQ(kJpegOk, JpegFree(&record));
    EXPECT_EQ(kJpegErrNotInitialised, JpegRead(&record, kJpegReadParams));
    EXPECT_EQ(kJpegErrNotInitialised, JpegFree(&record));
    EXPECT_EQ(kJpegErrBadArgument, JpegInit(nullptr));
    EXPECT_EQ(kJpegErrBadArgument, JpegRead(nullptr, kJpegReadParams));
}

TEST(JpegLibrary, RequestsThatDoNotFitTheImageAreRefused)
{
    TempDir dir;
    const std::string path = dir.Path("a.jpg");
    ASSERT_TRUE(WriteTestJpeg(path, 4, 4, 3, TopRedBottomBlue));
    auto pixels = Block(4 * 4 * 3);

    Session s(path);
    EXPECT_EQ(kJpegErrBadArgument, JpegRead(s.record(), 1));
    EXPECT_EQ(kJpegErrBadArgument, JpegRead(s.record(), 3));
    ASSERT_EQ(kJpegOk, JpegRead(s.record(), kJpegReadParams));

    const struct {
        const char* what;
        unsigned char* pixels;
        std::int32_t width, height, channels, colour, expected;
    } cases[] = {
        {"no block", nullptr, 4, 4, 3, kJpegColourRgb, kJpegErrBadArgument},
        {"wider than the image", pixels.get(), 5, 4, 3, kJpegColourRgb, kJpegErrBadOutput},
        {"shorter than the image", pixels.get(), 4, 3, 3, kJpegColourRgb, kJpegErrBadOutput},
        {"negative height", pixels.get(), 4, -4, 3, kJpegColourRgb, kJpegErrBadOutput},
        {"3 channels, grey code", pixels.get(), 4, 4, 3, kJpegColourGrey, kJpegErrBadOutput},
        {"1 channel, colour code", pixels.get(), 4, 4, 1, kJpegColourRgb, kJpegErrBadOutput},
        {"2 channels", pixels.get(), 4, 4, 2, kJpegColourRgb, kJpegErrBadOutput},
    };
    for (const auto& c : cases) {
        s.SetOutput(c.pixels, c.width, c.height, c.channels, c.colour);
        EXPECT_EQ(c.expected, JpegRead(s.record(), kJpegReadWholeImage)) << c.what;
    }

    Session missing(dir.Path("missing.jpg"));
    EXPECT_EQ(kJpegErrOpenFile, JpegRead(missing.record(), kJpegReadParams));
    Session unnamed("");
    JpegSetFileName(unnamed.record(), nullptr);
    EXPECT_EQ(kJpegErrBadArgument, JpegRead(unnamed.record(), kJpegReadParams));
}

TEST(JpegLibrary, DamagedFilesFailWithoutTouchingTheSize)
{
    TempDir dir;
    const std::string validPath = dir.Path("valid.jpg");
    const std::string progressivePath = dir.Path("progressive.jpg");
    const auto pattern = [](int x, int y) {
        return Rgb8{static_cast<unsigned char>(x * 7), static_cast<unsigned char>(y * 5), 99};
    };
    ASSERT_TRUE(WriteTestJpeg(validPath, 32, 32, 3, pattern, 90));
    ASSERT_TRUE(WriteTestJpeg(progressivePath, 32, 32, 3, pattern, 90, true));
    const std::vector<unsigned char> valid = ReadBytes(validPath);
    const std::vector<unsigned char> progressive = ReadBytes(progressivePath);

    std::vector<unsigned char> corrupt = valid;
    corrupt[corrupt.size() - 100] = 0xFF;
    corrupt[corrupt.size() - 99] = 0xD9;
    const char text[] = "GIF89a, or anything else that is not a JPEG";
    const struct {
        const char* what;
        std::vector<unsigned char> bytes;
        bool headerReadable;
    } cases[] = {
        {"empty", {}, false},
        {"not a JPEG", std::vector<unsigned char>(text, text + sizeof text), false},
        {"cut in the tables", std::vector<unsigned char>(valid.begin(), valid.begin() + 100), false},
        {"cut in the image data", std::vector<unsigned char>(valid.begin(), valid.end() - 200), true},
        {"end marker inside the image data", corrupt, true},
        {"progressive, cut between scans",
         std::vector<unsigned char>(progressive.begin(), progressive.begin() + progressive.size() / 2),
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = dir.Path("damaged.jpg");
        WriteBytes(path, c.bytes);
        Session s(path);
        const std::int32_t params = JpegRead(s.record(), kJpegReadParams);
        if (!c.headerReadable) {
            EXPECT_EQ(kJpegErrDecode, params);
            EXPECT_EQ(0, JpegGetField(s.record(), kJpegImageWidth));
            EXPECT_EQ(0, JpegGetField(s.record(), kJpegImageHeight));
            continue;
        }
        ASSERT_EQ(kJpegOk, params);
        auto pixels = Block(32 * 32 * 3);
        s.SetOutput(pixels.get(), 32, 32, 3, kJpegColourRgb);
        EXPECT_EQ(kJpegErrDecode, JpegRead(s.record(), kJpegReadWholeImage));
    }
}

TEST(JpegLibrary, FileLackingOnlyItsEndMarkerDecodes)
{
    TempDir dir;
    const std::string path = dir.Path("a.jpg");
    ASSERT_TRUE(WriteTestJpeg(path, 16, 16, 3, TopRedBottomBlue));
    std::vector<unsigned char> bytes = ReadBytes(path);
    ASSERT_EQ(0xD9, bytes.back());
    bytes.resize(bytes.size() - 2);
    WriteBytes(path, bytes);

    Session s(path);
    ASSERT_EQ(kJpegOk, JpegRead(s.record(), kJpegReadParams));
    auto pixels = Block(16 * 16 * 3);
    s.SetOutput(pixels.get(), 16, 16, 3, kJpegColourRgb);
    EXPECT_EQ(kJpegOk, JpegRead(s.record(), kJpegReadWholeImage));
}

// A progressive file may have any number of scans, and each one costs a pass
// over the whole image; the adapter stops at 100 (real files have about 10).
TEST(JpegLibrary, TooManyScansAreRefused)
{
    TempDir dir;
    const std::string ok = dir.Path("64.jpg");
    const std::string tooMany = dir.Path("127.jpg");
    ASSERT_TRUE(WriteManyScanJpeg(ok, 16, 16, false));
    ASSERT_TRUE(WriteManyScanJpeg(tooMany, 16, 16, true));

    for (const auto& [path, expected] :
         {std::make_pair(ok, kJpegOk), std::make_pair(tooMany, kJpegErrDecode)}) {
        Session s(path);
        ASSERT_EQ(kJpegOk, JpegRead(s.record(), kJpegReadParams));
        auto pixels = Block(16 * 16);
        s.SetOutput(pixels.get(), 16, 16, 1, kJpegColourGrey);
        EXPECT_EQ(expected, JpegRead(s.record(), kJpegReadWholeImage)) << path;
    }
}

}  // namespace
