// The PNG adapter's contract on files written here byte for byte, with no
// library, against whichever decoder the platform links: libpng on Linux,
// the Imaging Component under Windows. Both must give the same pixels.

#include "png/PngAdapter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"

namespace {

using Bytes = std::vector<unsigned char>;

void Put32(Bytes* out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out->push_back(static_cast<unsigned char>(value >> shift));
}

std::uint32_t Crc32(const unsigned char* data, std::size_t size)
{
    std::uint32_t crc = 0xffffffffu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PutChunk(Bytes* out, const char* type, const Bytes& data)
{
    Put32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out->size();
    out->insert(out->end(), type, type + 4);
    out->insert(out->end(), data.begin(), data.end());
    Put32(out, Crc32(out->data() + start, out->size() - start));
}

// A zlib stream of stored blocks: no compressor needed to write one.
Bytes Stored(const Bytes& raw)
{
    Bytes out = {0x78, 0x01};
    std::size_t at = 0;
    do {
        const std::size_t length = raw.size() - at < 65535 ? raw.size() - at : 65535;
        out.push_back(at + length == raw.size() ? 1 : 0);
        out.push_back(static_cast<unsigned char>(length));
        out.push_back(static_cast<unsigned char>(length >> 8));
        out.push_back(static_cast<unsigned char>(~length));
        out.push_back(static_cast<unsigned char>(~length >> 8));
        out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                   raw.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
    } while (at < raw.size());
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (const unsigned char byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    Put32(&out, (b << 16) | a);
    return out;
}

// A PNG of the given rows (each already with its filter byte), with an
// optional palette and transparency chunk.
Bytes Png(std::uint32_t width, std::uint32_t height, int depth, int colour, const Bytes& rows,
          const Bytes& palette = {}, const Bytes& transparency = {})
{
    Bytes out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    Bytes header;
    Put32(&header, width);
    Put32(&header, height);
    header.insert(header.end(),
                  {static_cast<unsigned char>(depth), static_cast<unsigned char>(colour), 0, 0, 0});
    PutChunk(&out, "IHDR", header);
    if (!palette.empty())
        PutChunk(&out, "PLTE", palette);
    if (!transparency.empty())
        PutChunk(&out, "tRNS", transparency);
    PutChunk(&out, "IDAT", Stored(rows));
    PutChunk(&out, "IEND", {});
    return out;
}

struct Decoded {
    PngResult result;
    std::int32_t width;
    std::int32_t height;
    Bytes pixels;
};

Decoded Read(const Bytes& file)
{
    TempDir folder;
    const std::string path = folder.Path("picture.png");
    WriteBytes(path, file);
    PngImage image;
    const PngResult result = ReadPngFile(path.c_str(), &image);
    Decoded decoded = {result, image.width, image.height, {}};
    if (image.pixels != nullptr) {
        decoded.pixels.assign(image.pixels,
                              image.pixels + static_cast<std::size_t>(image.width) *
                                                 static_cast<std::size_t>(image.height) * 3);
        std::free(image.pixels);
    }
    return decoded;
}

// Every colour layout a picture comes in gives the same 8-bit RGB.
TEST(PngDecoderContract, EveryLayoutGivesEightBitRgb)
{
    const Bytes rgb = {255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30};
    struct Case {
        const char* name;
        Bytes file;
        Bytes expected;
    } cases[] = {
        {"8-bit RGB", Png(2, 2, 8, 2, {0, 255, 0, 0, 0, 255, 0, 0, 0, 0, 255, 10, 20, 30}), rgb},
        {"16-bit RGB",
         Png(2, 1, 16, 2, {0, 255, 255, 0, 0, 0, 0, 0x0a, 0x0a, 0x14, 0x14, 0x1e, 0x1e}),
         {255, 0, 0, 10, 20, 30}},
        {"palette",
         Png(2, 2, 8, 3, {0, 0, 1, 0, 2, 3}, {255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30}), rgb},
        {"4-bit palette",
         Png(2, 1, 4, 3, {0, 0x01}, {255, 0, 0, 0, 255, 0}),
         {255, 0, 0, 0, 255, 0}},
        {"8-bit grey", Png(3, 1, 8, 0, {0, 0, 128, 255}), {0, 0, 0, 128, 128, 128, 255, 255, 255}},
        {"1-bit grey", Png(2, 1, 1, 0, {0, 0x80}), {255, 255, 255, 0, 0, 0}},
        // Alpha is dropped onto black: half-covered red is dark red.
        {"RGBA", Png(2, 1, 8, 6, {0, 255, 0, 0, 255, 255, 0, 0, 0}), {255, 0, 0, 0, 0, 0}},
        {"grey and alpha", Png(1, 1, 8, 4, {0, 200, 255}), {200, 200, 200}},
        {"palette with tRNS",
         Png(2, 1, 8, 3, {0, 0, 1}, {255, 0, 0, 0, 255, 0}, {255, 0}),
         {255, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Decoded decoded = Read(c.file);
        ASSERT_EQ(PngResult::kOk, decoded.result) << PngResultText(decoded.result);
        EXPECT_EQ(c.expected, decoded.pixels);
    }
}

TEST(PngDecoderContract, HalfCoveredIsHalfBright)
{
    const Decoded decoded = Read(Png(1, 1, 8, 6, {0, 255, 255, 255, 128}));
    ASSERT_EQ(PngResult::kOk, decoded.result);
    ASSERT_EQ(3u, decoded.pixels.size());
    for (const unsigned char channel : decoded.pixels)
        EXPECT_NEAR(128, channel, 1);
}

// Data the header does not keep its promise with fails without pixels.
TEST(PngDecoderContract, DamagedDataFailsCleanly)
{
    const Bytes good = Png(2, 2, 8, 2, {0, 255, 0, 0, 0, 255, 0, 0, 0, 0, 255, 10, 20, 30});
    Bytes truncated(good.begin(), good.begin() + 50);
    Bytes shortRows = Png(2, 2, 8, 2, {0, 255, 0, 0, 0, 255, 0});
    Bytes badFilter = Png(1, 1, 8, 2, {9, 1, 2, 3});
    for (const Bytes* file : {&truncated, &shortRows, &badFilter}) {
        const Decoded decoded = Read(*file);
        EXPECT_EQ(PngResult::kDecode, decoded.result) << PngResultText(decoded.result);
        EXPECT_TRUE(decoded.pixels.empty());
    }
}

}  // namespace
