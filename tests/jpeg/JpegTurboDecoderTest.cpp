#include "jpeg/JpegAdapter.h"

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestImages.h"

// What is particular to our libjpeg-turbo adapter; the contract every
// adapter keeps, damaged files included, is tested in JpegAdapterTest.cpp.

namespace {

// A progressive file may have any number of scans, and each one costs a pass
// over the whole image; the adapter stops at 100 (real files have about 10).
TEST(JpegTurboDecoder, TooManyScansAreRefused)
{
    TempDir dir;
    const std::string ok = dir.Path("64.jpg");
    const std::string tooMany = dir.Path("127.jpg");
    ASSERT_TRUE(WriteManyScanJpeg(ok, 16, 16, false));
    ASSERT_TRUE(WriteManyScanJpeg(tooMany, 16, 16, true));

    for (const auto& [path, expected] :
         {std::make_pair(ok, kJpegOk), std::make_pair(tooMany, kJpegErrDecode)}) {
        JpegRecord record{};
        ASSERT_EQ(kJpegOk, JpegInit(&record));
        JpegSetFileName(&record, path.c_str());
        ASSERT_EQ(kJpegOk, JpegRead(&record, kJpegReadParams));
        std::vector<unsigned char> pixels(16 * 16);  // exactly the image
        JpegSetOutputPixels(&record, pixels.data());
        JpegSetField(&record, kJpegOutWidth, 16);
        JpegSetField(&record, kJpegOutHeight, 16);
        JpegSetField(&record, kJpegOutChannels, 1);
        JpegSetField(&record, kJpegOutColour, kJpegColourGrey);
        EXPECT_EQ(expected, JpegRead(&record, kJpegReadWholeImage)) << path;
        EXPECT_EQ(kJpegOk, JpegFree(&record));
    }
}

}  // namespace
