#include "platform/JpegLibrary.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestImages.h"

// What is particular to our libjpeg-turbo adapter; the contract every
// adapter keeps is tested in JpegAdapterTest.cpp.

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

Rgb8 TopRedBottomBlue(int x, int y)
{
    return y == 0 ? Rgb8{240, 20, 20} : Rgb8{20, 20, static_cast<unsigned char>(240 - x)};
}

// A block exactly as large as the image.
std::unique_ptr<unsigned char[]> Block(std::size_t bytes)
{
    return std::unique_ptr<unsigned char[]>(new unsigned char[bytes]);
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

// Every row is in before the missing marker would show: only reading on to
// it finds the file cut short, as the Windows decoder does.
TEST(JpegLibrary, FileLackingOnlyItsEndMarkerIsRefused)
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
    EXPECT_EQ(kJpegErrDecode, JpegRead(s.record(), kJpegReadWholeImage));
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
