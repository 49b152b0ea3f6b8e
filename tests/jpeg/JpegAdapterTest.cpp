// The JPEG adapter's contract, for whichever adapter the platform links:
// libjpeg-turbo on Linux, the Windows Imaging Component on Windows. Both get
// the very same files.

#include "jpeg/JpegAdapter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <list>
#include <string>
#include <vector>

#include "DamagedJpegs.h"
#include "JpegTestFiles.h"

#if !defined(_WIN32)
#include <unistd.h>
#endif

namespace {

// Decoders differ by a few levels even on flat 8 x 8 blocks.
constexpr int kTolerance = 4;
constexpr unsigned char kGuard = 0xA5;
constexpr std::size_t kGuardBytes = 64;

class JpegAdapterTest : public ::testing::Test {
protected:
    void SetUp() override { std::memset(&record_, 0, sizeof record_); }

    // The path stays while the test runs: the record holds its address.
    template <std::size_t N>
    const std::string& Write(const char* name, const unsigned char (&bytes)[N])
    {
        return Write(name, std::vector<unsigned char>(bytes, bytes + N));
    }
    const std::string& Write(const char* name, const std::vector<unsigned char>& bytes)
    {
        paths_.push_back(temp_.Path(name));
        WriteBytes(paths_.back(), bytes);
        return paths_.back();
    }

    // Init and parameter read, as the texture loader starts.
    std::int32_t OpenParams(const std::string& path)
    {
        EXPECT_EQ(kJpegOk, JpegInit(&record_));
        JpegSetFileName(&record_, path.c_str());
        return JpegRead(&record_, kJpegReadParams);
    }

    // Describes an output block of the given layout (with a guard after it)
    // and runs the whole-image read.
    std::int32_t ReadWhole(std::int32_t width, std::int32_t height, std::int32_t channels,
                           std::int32_t colour)
    {
        const std::size_t bytes = static_cast<std::size_t>(width > 0 ? width : 0) *
                                  static_cast<std::size_t>(height > 0 ? height : 0) *
                                  static_cast<std::size_t>(channels > 0 ? channels : 0);
        block_.assign(bytes + kGuardBytes, kGuard);
        blockBytes_ = bytes;
        JpegSetOutputPixels(&record_, block_.data());
        JpegSetField(&record_, kJpegOutWidth, width);
        JpegSetField(&record_, kJpegOutHeight, height);
        JpegSetField(&record_, kJpegOutChannels, channels);
        JpegSetField(&record_, kJpegOutColour, colour);
        return JpegRead(&record_, kJpegReadWholeImage);
    }

    bool GuardIntact() const
    {
        for (std::size_t i = blockBytes_; i < block_.size(); ++i) {
            if (block_[i] != kGuard) {
                return false;
            }
        }
        return true;
    }

    bool BlockUntouched() const
    {
        for (std::size_t i = 0; i < blockBytes_; ++i) {
            if (block_[i] != kGuard) {
                return false;
            }
        }
        return GuardIntact();
    }

    // Every pixel of rows [first, last) near the expected channel values.
    void ExpectRows(int first, int last, int width, std::vector<int> expected) const
    {
        const int channels = static_cast<int>(expected.size());
        for (int y = first; y < last; ++y) {
            for (int x = 0; x < width; ++x) {
                for (int c = 0; c < channels; ++c) {
                    const int value =
                        block_[static_cast<std::size_t>((y * width + x) * channels + c)];
                    ASSERT_NEAR(expected[static_cast<std::size_t>(c)], value, kTolerance)
                        << "row " << y << ", column " << x << ", channel " << c;
                }
            }
        }
    }

    JpegRecord record_;
    std::vector<unsigned char> block_;
    std::size_t blockBytes_ = 0;
    TempDir temp_;
    std::list<std::string> paths_;
};

TEST_F(JpegAdapterTest, ParameterReadGivesTheSizeAndWritesNothingElseOfTheLoaders)
{
    const std::string& path = Write("colour.jpg", kColourJpeg);
    ASSERT_EQ(kJpegOk, JpegInit(&record_));
    JpegSetFileName(&record_, path.c_str());
    JpegRecord before;
    std::memcpy(&before, &record_, sizeof before);

    ASSERT_EQ(kJpegOk, JpegRead(&record_, kJpegReadParams));
    EXPECT_EQ(13, JpegGetField(&record_, kJpegImageWidth));
    EXPECT_EQ(16, JpegGetField(&record_, kJpegImageHeight));
    // Below the private area only the two size fields may change.
    for (std::size_t i = 0; i < kJpegPrivInitMark; ++i) {
        if (i >= kJpegImageWidth && i < kJpegImageHeight + 4) {
            continue;
        }
        ASSERT_EQ(before.bytes[i], record_.bytes[i]) << "byte " << i;
    }
    EXPECT_EQ(kJpegOk, JpegFree(&record_));
}

TEST_F(JpegAdapterTest, ColourImageComesTopRowFirstInRgbOrderWithUnpaddedRows)
{
    // 13 pixels make 39-byte rows: any padding would shift every later row.
    for (const auto* name : {"baseline.jpg", "progressive.jpg"}) {
        SCOPED_TRACE(name);
        const std::string& path = std::string(name) == "baseline.jpg"
                                      ? Write(name, kColourJpeg)
                                      : Write(name, kProgressiveJpeg);
        ASSERT_EQ(kJpegOk, OpenParams(path));
        ASSERT_EQ(kJpegOk, ReadWhole(13, 16, 3, kJpegColourRgb));
        ExpectRows(0, 8, 13, {255, 0, 0});
        ExpectRows(8, 16, 13, {0, 0, 255});
        EXPECT_TRUE(GuardIntact());
        EXPECT_EQ(kJpegOk, JpegFree(&record_));
    }
}

TEST_F(JpegAdapterTest, GreyOutputUsesTheLumaOfColourAndTheValuesOfGrey)
{
    // JPEG's luma weights: red 0.299 x 255 = 76, blue 0.114 x 255 = 29.
    ASSERT_EQ(kJpegOk, OpenParams(Write("colour.jpg", kColourJpeg)));
    ASSERT_EQ(kJpegOk, ReadWhole(13, 16, 1, kJpegColourGrey));
    ExpectRows(0, 8, 13, {76});
    ExpectRows(8, 16, 13, {29});
    EXPECT_TRUE(GuardIntact());
    EXPECT_EQ(kJpegOk, JpegFree(&record_));

    ASSERT_EQ(kJpegOk, OpenParams(Write("grey.jpg", kGreyJpeg)));
    EXPECT_EQ(8, JpegGetField(&record_, kJpegImageWidth));
    EXPECT_EQ(16, JpegGetField(&record_, kJpegImageHeight));
    ASSERT_EQ(kJpegOk, ReadWhole(8, 16, 1, kJpegColourGrey));
    ExpectRows(0, 8, 8, {200});
    ExpectRows(8, 16, 8, {50});
    EXPECT_TRUE(GuardIntact());
    EXPECT_EQ(kJpegOk, JpegFree(&record_));
}

TEST_F(JpegAdapterTest, GreyImageWidensToEqualRedGreenAndBlue)
{
    ASSERT_EQ(kJpegOk, OpenParams(Write("grey.jpg", kGreyJpeg)));
    ASSERT_EQ(kJpegOk, ReadWhole(8, 16, 3, kJpegColourRgb));
    ExpectRows(0, 8, 8, {200, 200, 200});
    ExpectRows(8, 16, 8, {50, 50, 50});
    for (std::size_t i = 0; i < blockBytes_; i += 3) {
        ASSERT_EQ(block_[i], block_[i + 1]);
        ASSERT_EQ(block_[i], block_[i + 2]);
    }
    EXPECT_TRUE(GuardIntact());
    EXPECT_EQ(kJpegOk, JpegFree(&record_));
}

TEST_F(JpegAdapterTest, OutputThatDoesNotFitTheImageIsRefusedWithoutWriting)
{
    const std::string& path = Write("colour.jpg", kColourJpeg);
    ASSERT_EQ(kJpegOk, OpenParams(path));
    struct Case {
        const char* what;
        std::int32_t width, height, channels, colour, status;
    };
    const Case cases[] = {
        {"grey colour code with 3 channels", 13, 16, 3, kJpegColourGrey, kJpegErrBadOutput},
        {"RGB colour code with 1 channel", 13, 16, 1, kJpegColourRgb, kJpegErrBadOutput},
        {"2 channels", 13, 16, 2, kJpegColourRgb, kJpegErrBadOutput},
        {"narrower than the image", 12, 16, 3, kJpegColourRgb, kJpegErrBadOutput},
        {"shorter than the image", 13, 15, 3, kJpegColourRgb, kJpegErrBadOutput},
        {"wider than the image", 14, 16, 3, kJpegColourRgb, kJpegErrBadOutput},
        {"no rows", 13, 0, 3, kJpegColourRgb, kJpegErrBadOutput},
        {"negative width", -13, 16, 3, kJpegColourRgb, kJpegErrBadOutput},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.status, ReadWhole(c.width, c.height, c.channels, c.colour)) << c.what;
        EXPECT_TRUE(BlockUntouched()) << c.what;
    }
    JpegSetOutputPixels(&record_, nullptr);
    EXPECT_EQ(kJpegErrBadArgument, JpegRead(&record_, kJpegReadWholeImage));

    // A block over the cap is refused before the file is opened (there is
    // none here); one within it gets as far as the missing file.
    const std::string missing = path + ".missing";
    JpegSetFileName(&record_, missing.c_str());
    JpegSetOutputPixels(&record_, block_.data());
    JpegSetField(&record_, kJpegOutWidth, 15000);
    JpegSetField(&record_, kJpegOutHeight, 15000);  // 675e6 bytes of RGB
    EXPECT_EQ(kJpegErrBadOutput, JpegRead(&record_, kJpegReadWholeImage));
    JpegSetField(&record_, kJpegOutChannels, 1);
    JpegSetField(&record_, kJpegOutColour, kJpegColourGrey);
    JpegSetField(&record_, kJpegOutWidth, 23170);
    JpegSetField(&record_, kJpegOutHeight, 23170);  // 536,848,900 bytes of grey, just within
    EXPECT_EQ(kJpegErrOpenFile, JpegRead(&record_, kJpegReadWholeImage));
    EXPECT_TRUE(BlockUntouched());
    EXPECT_EQ(kJpegOk, JpegFree(&record_));
}

TEST_F(JpegAdapterTest, EntriesKeepTheirCallingOrder)
{
    const std::string& path = Write("colour.jpg", kColourJpeg);
    JpegSetFileName(&record_, path.c_str());
    EXPECT_EQ(kJpegErrNotInitialised, JpegRead(&record_, kJpegReadParams));
    EXPECT_EQ(kJpegErrNotInitialised, JpegFree(&record_));

    ASSERT_EQ(kJpegOk, JpegInit(&record_));
    EXPECT_EQ(kJpegErrBadArgument, JpegRead(&record_, 1));
    EXPECT_EQ(kJpegErrBadArgument, JpegRead(&record_, 3));
    EXPECT_EQ(kJpegOk, JpegRead(&record_, kJpegReadParams));
    EXPECT_EQ(kJpegOk, JpegFree(&record_));
    EXPECT_EQ(kJpegErrNotInitialised, JpegFree(&record_));
    EXPECT_EQ(kJpegErrNotInitialised, JpegRead(&record_, kJpegReadParams));

    ASSERT_EQ(kJpegOk, JpegInit(&record_));
    JpegSetFileName(&record_, nullptr);
    EXPECT_EQ(kJpegErrBadArgument, JpegRead(&record_, kJpegReadParams));
    EXPECT_EQ(kJpegOk, JpegFree(&record_));

    EXPECT_EQ(kJpegErrBadArgument, JpegInit(nullptr));
    EXPECT_EQ(kJpegErrBadArgument, JpegRead(nullptr, kJpegReadParams));
    EXPECT_EQ(kJpegErrBadArgument, JpegFree(nullptr));
}

TEST_F(JpegAdapterTest, AddressHelpersFillTheLowHalfAndThePrivateField)
{
    const char* name = "Demo.jpg";
    unsigned char pixel = 0;
    JpegSetFileName(&record_, name);
    JpegSetOutputPixels(&record_, &pixel);
    EXPECT_EQ(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(name)),
              static_cast<std::uint32_t>(JpegGetField(&record_, kJpegFileName)));
    EXPECT_EQ(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(&pixel)),
              static_cast<std::uint32_t>(JpegGetField(&record_, kJpegOutPixels)));
    const char* storedName;
    unsigned char* storedPixels;
    std::memcpy(&storedName, record_.bytes + kJpegPrivFileName, sizeof storedName);
    std::memcpy(&storedPixels, record_.bytes + kJpegPrivOutPixels, sizeof storedPixels);
    EXPECT_EQ(name, storedName);
    EXPECT_EQ(&pixel, storedPixels);
    // Fields are little-endian whatever the host.
    JpegSetField(&record_, kJpegOutWidth, 0x01020304);
    EXPECT_EQ(0x04, record_.bytes[kJpegOutWidth]);
    EXPECT_EQ(0x01, record_.bytes[kJpegOutWidth + 3]);
}

TEST_F(JpegAdapterTest, DamagedFilesFailAtTheirReadWithoutWritingOutsideTheBlock)
{
#if defined(_WIN32)
    const auto expected = [](const DamagedJpeg& file) { return file.wic; };
#else
    const auto expected = [](const DamagedJpeg& file) { return file.libjpeg; };
    alarm(30);  // an open that waits for a writer ends the test instead of hanging it
#endif
    for (const DamagedJpeg& file : DamagedJpegs()) {
        SCOPED_TRACE(file.what);
        const JpegFailsAt at = expected(file);
        if (at == JpegFailsAt::kNotRun)
            continue;
        std::memset(&record_, 0, sizeof record_);
        const std::string path = file.make(temp_);
        const std::int32_t params = OpenParams(path);
        const std::int32_t width = JpegGetField(&record_, kJpegImageWidth);
        const std::int32_t height = JpegGetField(&record_, kJpegImageHeight);
        if (at == JpegFailsAt::kOpen) {
            EXPECT_EQ(kJpegErrOpenFile, params);
        } else if (at == JpegFailsAt::kHeader) {
            EXPECT_EQ(kJpegErrDecode, params);
            EXPECT_EQ(0, width);
            EXPECT_EQ(0, height);
        } else if (at == JpegFailsAt::kLoader) {
            EXPECT_EQ(kJpegOk, params);
        } else {
            // The loader sizes its block from the parameters it was given.
            ASSERT_EQ(kJpegOk, params);
            EXPECT_EQ(at == JpegFailsAt::kPixels ? kJpegErrDecode : kJpegOk,
                      ReadWhole(width, height, 3, kJpegColourRgb));
            EXPECT_TRUE(GuardIntact());
        }
        EXPECT_EQ(kJpegOk, JpegFree(&record_));
    }
#if !defined(_WIN32)
    alarm(0);
#endif
}

TEST_F(JpegAdapterTest, DamagedBytesAnywhereNeverWriteOutsideTheBlock)
{
    // Every byte changed in turn, and the file cut at every length: the
    // decoder may accept or refuse each, but never writes past the block it
    // was given (the sanitizer build watches the rest).
    const std::vector<unsigned char> good(std::begin(kProgressiveJpeg), std::end(kProgressiveJpeg));
    std::vector<std::vector<unsigned char>> files;
    for (std::size_t i = 0; i < good.size(); ++i) {
        std::vector<unsigned char> changed = good;
        changed[i] = static_cast<unsigned char>(changed[i] ^ 0x5A);
        files.push_back(changed);
        files.emplace_back(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(i));
    }
    int decoded = 0;
    for (std::size_t n = 0; n < files.size(); ++n) {
        const std::int32_t params = OpenParams(Write("damaged.jpg", files[n]));
        if (params == kJpegOk) {
            const std::int32_t width = JpegGetField(&record_, kJpegImageWidth);
            const std::int32_t height = JpegGetField(&record_, kJpegImageHeight);
            // A damaged header may claim a huge image; the loader would try
            // to allocate it, the test need not.
            if (width > 0 && height > 0 && static_cast<long long>(width) * height <= (1 << 20)) {
                if (ReadWhole(width, height, 3, kJpegColourRgb) == kJpegOk) {
                    ++decoded;
                }
                ASSERT_TRUE(GuardIntact()) << "file " << n;
            }
        }
        EXPECT_EQ(kJpegOk, JpegFree(&record_));
    }
    // Harmless changes (in the padding of the header, say) still decode: the
    // loop did reach the pixels.
    EXPECT_GT(decoded, 0);
}

}  // namespace
