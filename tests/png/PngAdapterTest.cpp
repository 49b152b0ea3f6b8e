#include "png/PngAdapter.h"

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "PngTestFiles.h"
#include "TempDir.h"

namespace {

// Samples, channels per pixel, packed as the file stores them.
std::vector<unsigned char> Pack(int width, int height, int channels, int depth,
                                const std::function<unsigned(int x, int y, int c)>& sample)
{
    std::vector<unsigned char> rows;
    for (int y = 0; y < height; ++y) {
        unsigned bits = 0;
        int held = 0;
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < channels; ++c) {
                const unsigned value = sample(x, y, c);
                if (depth == 16) {
                    rows.push_back(static_cast<unsigned char>(value >> 8));
                    rows.push_back(static_cast<unsigned char>(value));
                    continue;
                }
                bits = (bits << depth) | value;
                held += depth;
                if (held == 8) {
                    rows.push_back(static_cast<unsigned char>(bits));
                    bits = 0;
                    held = 0;
                }
            }
        }
        if (held > 0)
            rows.push_back(static_cast<unsigned char>(bits << (8 - held)));
    }
    return rows;
}

struct Format {
    const char* name;
    PngLayout layout;
    std::function<unsigned(int x, int y, int c)> sample;
    std::function<unsigned(int x, int y, int c)> expected;  // the RGB byte read back
};

unsigned Wave(int x, int y, int c)
{
    return static_cast<unsigned>((x * 53 + y * 31 + c * 97) % 256);
}

unsigned Alpha(int x, int y)
{
    const unsigned alphas[] = {0, 128, 255, 64};
    return alphas[(x + y) % 4];
}

unsigned OnBlack(unsigned value, unsigned alpha)
{
    return (value * alpha + 127) / 255;
}

PngLayout Layout(std::uint32_t width, std::uint32_t height, int depth, int colour)
{
    PngLayout layout;
    layout.width = width;
    layout.height = height;
    layout.bitDepth = depth;
    layout.colourType = colour;
    return layout;
}

std::vector<unsigned char> Palette(int entries)
{
    std::vector<unsigned char> palette;
    for (int i = 0; i < entries; ++i)
        palette.insert(palette.end(),
                       {static_cast<unsigned char>(i * 13), static_cast<unsigned char>(255 - i),
                        static_cast<unsigned char>(i * 7 + 3)});
    return palette;
}

std::vector<Format> Formats()
{
    std::vector<Format> formats;
    for (int depth : {1, 2, 4, 8}) {
        const unsigned top = (1u << depth) - 1;
        formats.push_back(
            {"grey", Layout(5, 3, depth, 0),
             [top](int x, int y, int) { return (x + 2 * y) % (top + 1); },
             [top](int x, int y, int) { return (x + 2 * y) % (top + 1) * 255 / top; }});
        PngLayout palette = Layout(5, 3, depth, 3);
        palette.palette = Palette(static_cast<int>(top + 1));
        formats.push_back(
            {"palette", palette, [top](int x, int y, int) { return (x * 3 + y) % (top + 1); },
             [palette, top](int x, int y, int c) {
                 return static_cast<unsigned>(palette.palette[((x * 3 + y) % (top + 1)) * 3 + c]);
             }});
    }
    // Sixteen bits: values that scale to eight exactly.
    formats.push_back({"grey", Layout(5, 3, 16, 0),
                       [](int x, int y, int) { return Wave(x, y, 0) * 257; },
                       [](int x, int y, int) { return Wave(x, y, 0); }});
    for (int depth : {8, 16}) {
        const unsigned scale = depth == 16 ? 257 : 1;
        formats.push_back({"rgb", Layout(5, 3, depth, 2),
                           [scale](int x, int y, int c) { return Wave(x, y, c) * scale; },
                           [](int x, int y, int c) { return Wave(x, y, c); }});
        formats.push_back({"grey and alpha", Layout(5, 3, depth, 4),
                           [scale](int x, int y, int c) {
                               return (c == 0 ? Wave(x, y, 0) : Alpha(x, y)) * scale;
                           },
                           [](int x, int y, int) { return OnBlack(Wave(x, y, 0), Alpha(x, y)); }});
        formats.push_back(
            {"rgba", Layout(5, 3, depth, 6),
             [scale](int x, int y, int c) {
                 return (c == 3 ? Alpha(x, y) : Wave(x, y, c)) * scale;
             },
             [](int x, int y, int c) { return OnBlack(Wave(x, y, c), Alpha(x, y)); }});
    }
    PngLayout interlaced = Layout(13, 9, 8, 2);
    interlaced.interlaced = true;
    formats.push_back({"interlaced rgb", interlaced, Wave, Wave});
    PngLayout interlacedGrey = Layout(11, 7, 2, 0);
    interlacedGrey.interlaced = true;
    formats.push_back({"interlaced grey", interlacedGrey,
                       [](int x, int y, int) { return static_cast<unsigned>(x + y) % 4; },
                       [](int x, int y, int) { return static_cast<unsigned>(x + y) % 4 * 85; }});
    // A transparent grey value, palette entry and RGB colour become black.
    PngLayout keyedGrey = Layout(5, 3, 8, 0);
    keyedGrey.transparency = {0, 40};
    formats.push_back({"grey with a transparent value", keyedGrey,
                       [](int x, int y, int) { return static_cast<unsigned>(x * 20 + y * 10); },
                       [](int x, int y, int) {
                           const unsigned v = static_cast<unsigned>(x * 20 + y * 10);
                           return v == 40 ? 0 : v;
                       }});
    PngLayout keyedPalette = Layout(5, 3, 4, 3);
    keyedPalette.palette = Palette(16);
    keyedPalette.transparency = {0, 255, 128};
    formats.push_back({"palette with alpha", keyedPalette,
                       [](int x, int y, int) { return static_cast<unsigned>(x + y) % 16; },
                       [keyedPalette](int x, int y, int c) {
                           const unsigned index = static_cast<unsigned>(x + y) % 16;
                           const unsigned alpha = index == 0 ? 0 : index == 2 ? 128 : 255;
                           return OnBlack(keyedPalette.palette[index * 3 + c], alpha);
                       }});
    PngLayout keyedRgb = Layout(5, 3, 8, 2);
    keyedRgb.transparency = {0, 53, 0, 150, 0, 247};  // Wave at 1, 0
    formats.push_back({"rgb with a transparent colour", keyedRgb, Wave,
                       [](int x, int y, int c) { return x == 1 && y == 0 ? 0 : Wave(x, y, c); }});
    return formats;
}

// Every layout a PNG may have reads as 8-bit RGB, top row first.
TEST(PngAdapter, EveryLayoutReadsAsRgbTopRowFirst)
{
    TempDir dir;
    for (const Format& format : Formats()) {
        const PngLayout& layout = format.layout;
        SCOPED_TRACE(std::string(format.name) + ", " + std::to_string(layout.bitDepth) + " bits");
        const int channels = layout.colourType == 2   ? 3
                             : layout.colourType == 4 ? 2
                             : layout.colourType == 6 ? 4
                                                      : 1;
        const int width = static_cast<int>(layout.width);
        const int height = static_cast<int>(layout.height);
        WriteBytes(dir.Path("p.png"),
                   MakePng(layout, Pack(width, height, channels, layout.bitDepth, format.sample)));
        PngImage image;
        ASSERT_EQ(PngResult::kOk, ReadPngFile(dir.Path("p.png").c_str(), &image));
        ASSERT_EQ(width, image.width);
        ASSERT_EQ(height, image.height);
        ASSERT_NE(nullptr, image.pixels);
        int wrong = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                for (int c = 0; c < 3; ++c) {
                    const unsigned got = image.pixels[(y * width + x) * 3 + c];
                    if (got != format.expected(x, y, c) && ++wrong <= 3)
                        ADD_FAILURE() << "at " << x << "," << y << " channel " << c << ": " << got
                                      << " instead of " << format.expected(x, y, c);
                }
            }
        }
        std::free(image.pixels);
    }
}

std::vector<unsigned char> Concat(std::vector<unsigned char> a, const std::vector<unsigned char>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A valid 4 x 4 RGB file, to damage.
std::vector<unsigned char> Valid()
{
    return MakePng(Layout(4, 4, 8, 2), Pack(4, 4, 3, 8, Wave));
}

std::vector<unsigned char> Signature()
{
    return {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
}

struct Hostile {
    const char* name;
    std::vector<unsigned char> bytes;
    PngResult result;
    bool sizeKnown;  // the header was accepted: width and height are set
};

std::vector<Hostile> HostileFiles()
{
    const std::vector<unsigned char> valid = Valid();
    const std::size_t data = FindPngChunk(valid, "IDAT");
    const std::vector<unsigned char> end = PngChunk("IEND", {});
    std::vector<Hostile> files = {
        {"empty", {}, PngResult::kShortHeader, false},
        {"signature only", Signature(), PngResult::kShortHeader, false},
        {"header cut", std::vector<unsigned char>(valid.begin(), valid.begin() + 28),
         PngResult::kShortHeader, false},
        {"a GIF", {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0}, PngResult::kNotPng, false},
        {"a JPEG",
         {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0},
         PngResult::kNotPng,
         false},
        {"signature with a changed byte",
         Concat({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x0A, 0x0A}, std::vector<unsigned char>(40, 0)),
         PngResult::kNotPng, false},
        {"IEND first", Concat(Concat(Signature(), end), std::vector<unsigned char>(20, 0)),
         PngResult::kNoHeader, false},
        {"width zero", PngHead(0, 4, 8, 2), PngResult::kBadSize, false},
        {"height zero", PngHead(4, 0, 8, 2), PngResult::kBadSize, false},
        {"width above 2^31 - 1", PngHead(0x80000000u, 4, 8, 2), PngResult::kBadSize, false},
        {"height 2^32 - 1", PngHead(4, 0xFFFFFFFFu, 8, 2), PngResult::kBadSize, false},
        {"depth 3", PngHead(4, 4, 3, 0), PngResult::kBadFormat, false},
        {"RGB of 4 bits", PngHead(4, 4, 4, 2), PngResult::kBadFormat, false},
        {"palette of 16 bits", PngHead(4, 4, 16, 3), PngResult::kBadFormat, false},
        {"colour type 5", PngHead(4, 4, 8, 5), PngResult::kBadFormat, false},
        {"compression 1", PngHead(4, 4, 8, 2, 1), PngResult::kBadFormat, false},
        {"filter 1", PngHead(4, 4, 8, 2, 0, 1), PngResult::kBadFormat, false},
        {"interlace 2", PngHead(4, 4, 8, 2, 0, 0, 2), PngResult::kBadFormat, false},
        // Gigabytes declared in a few bytes: refused before any allocation.
        {"65535 x 65535", Concat(PngHead(65535, 65535, 8, 6), end), PngResult::kTooLarge, true},
        {"2^31 - 1 x 1", Concat(PngHead(0x7FFFFFFFu, 1, 8, 2), end), PngResult::kTooLarge, true},
        {"just over the cap", Concat(PngHead(11586, 11586, 8, 2), end), PngResult::kTooLarge, true},
        {"no image data", Concat(PngHead(4, 4, 8, 2), end), PngResult::kDecode, true},
        {"image data cut", std::vector<unsigned char>(valid.begin(), valid.begin() + data + 20),
         PngResult::kDecode, true},
        {"data for fewer rows",
         Concat(PngHead(4, 40, 8, 2),
                std::vector<unsigned char>(valid.begin() + data, valid.end())),
         PngResult::kDecode, true},
        {"garbage compressed data",
         Concat(Concat(PngHead(4, 4, 8, 2), PngChunk("IDAT", std::vector<unsigned char>(30, 0xA5))),
                end),
         PngResult::kDecode, true},
        {"palette image without a palette",
         Concat(PngHead(4, 4, 8, 3), std::vector<unsigned char>(valid.begin() + data, valid.end())),
         PngResult::kDecode, true},
        {"a text chunk declaring 2 GB",
         Concat(Concat(PngHead(4, 4, 8, 2), {0x7F, 0xFF, 0xFF, 0xF0, 't', 'E', 'X', 't', 'a'}),
                std::vector<unsigned char>(valid.begin() + data, valid.end())),
         PngResult::kDecode, true},
    };
    std::vector<unsigned char> badCrc = valid;
    badCrc[data + 12] ^= 0x01;  // the first byte of the compressed data
    files.push_back({"image data with a bad CRC", badCrc, PngResult::kDecode, true});
    return files;
}

TEST(PngAdapter, HostileFilesAreRefusedWithTheirOwnReason)
{
    TempDir dir;
    for (const Hostile& file : HostileFiles()) {
        SCOPED_TRACE(file.name);
        WriteBytes(dir.Path("h.png"), file.bytes);
        PngImage image;
        image.pixels = reinterpret_cast<unsigned char*>(&image);  // must be cleared
        EXPECT_EQ(file.result, ReadPngFile(dir.Path("h.png").c_str(), &image));
        EXPECT_EQ(nullptr, image.pixels);
        EXPECT_EQ(file.sizeKnown, image.width > 0 && image.height > 0);
        EXPECT_STRNE("unknown PNG error", PngResultText(file.result));
    }
}

// Only a regular file is read: a FIFO would block, a folder is no file.
TEST(PngAdapter, MissingFilesFoldersAndFifosCannotBeOpened)
{
    TempDir dir;
    PngImage image;
    EXPECT_EQ(PngResult::kCannotOpen, ReadPngFile(dir.Path("missing.png").c_str(), &image));
    EXPECT_EQ(PngResult::kCannotOpen, ReadPngFile(dir.Root().c_str(), &image));
    EXPECT_EQ(PngResult::kCannotOpen, ReadPngFile(nullptr, &image));
    ASSERT_EQ(0, ::mkfifo(dir.Path("fifo.png").c_str(), 0600));
    EXPECT_EQ(PngResult::kCannotOpen, ReadPngFile(dir.Path("fifo.png").c_str(), &image));
    EXPECT_EQ(nullptr, image.pixels);
}

}  // namespace
