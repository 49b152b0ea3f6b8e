// Writes the fuzzers' seed corpora: small valid files and typical broken ones,
// all made here.
//   make-fuzz-seeds <bmp folder> <jpeg folder> <png folder>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "JpegWriter.h"
#include "PngTestFiles.h"
#include "TestImages.h"

namespace {

Rgb8 Pattern(int x, int y)
{
    return Rgb8{static_cast<unsigned char>(x * 37), static_cast<unsigned char>(y * 59),
                static_cast<unsigned char>((x ^ y) * 23)};
}

std::vector<unsigned char> Cut(std::vector<unsigned char> bytes, std::size_t size)
{
    bytes.resize(size);
    return bytes;
}

void BmpSeeds(const std::string& dir)
{
    const auto put = [&](const char* name, BmpLayout layout, std::vector<unsigned char> pixels) {
        WriteBytes(dir + "/" + name, MakeBmp(layout, pixels));
    };
    BmpLayout layout;
    layout.width = 2;
    layout.height = 2;
    put("2x2.bmp", layout, BmpRows(2, 2, Pattern));
    BmpLayout odd = layout;
    odd.width = 3;
    put("3x2.bmp", odd, BmpRows(3, 2, Pattern));
    BmpLayout down = layout;
    down.width = 5;
    down.height = -3;
    put("5x3-top-down.bmp", down, BmpRows(5, 3, Pattern));
    BmpLayout stored = layout;
    stored.storedSize = 20;
    std::vector<unsigned char> extra = BmpRows(2, 2, Pattern);
    extra.insert(extra.end(), {0, 0, 0, 0});
    put("2x2-stored-size.bmp", stored, extra);
    BmpLayout gap = layout;
    gap.pixelOffset = 122;  // a larger info header
    put("2x2-v4-header.bmp", gap, BmpRows(2, 2, Pattern));
    BmpLayout bits = layout;
    bits.bitsPerPixel = 32;
    put("2x2-32-bit.bmp", bits, std::vector<unsigned char>(16, 7));
    BmpLayout rle = layout;
    rle.compression = 1;
    put("2x2-rle.bmp", rle, BmpRows(2, 2, Pattern));
    BmpLayout core = layout;
    core.pixelOffset = 26;
    put("core-header.bmp", core, BmpRows(2, 2, Pattern));
    put("cut-pixels.bmp", odd, Cut(BmpRows(3, 2, Pattern), 20));
    WriteBytes(dir + "/13-bytes.bmp", Cut(MakeBmp(layout, BmpRows(2, 2, Pattern)), 13));
}

void JpegSeeds(const std::string& dir)
{
    const auto path = [&](const char* name) { return dir + "/" + name; };
    WriteTestJpeg(path("8x8.jpg"), 8, 8, 3, Pattern, 90);
    WriteTestJpeg(path("5x3.jpg"), 5, 3, 3, Pattern, 75);
    WriteTestJpeg(path("grey-9x4.jpg"), 9, 4, 1, Pattern, 90);
    WriteTestJpeg(path("progressive-16x16.jpg"), 16, 16, 3, Pattern, 80, true);
    WriteManyScanJpeg(path("64-scans.jpg"), 8, 8, false);

    std::vector<unsigned char> pixels;
    for (int y = 0; y < 17; ++y) {
        for (int x = 0; x < 19; ++x) {
            const Rgb8 c = Pattern(x, y);
            pixels.insert(pixels.end(), {c.r, c.g, c.b});
        }
    }
    JpegWriteOptions subsampled;
    subsampled.fullChroma = false;
    subsampled.quality = 60;
    WriteJpegFile(path("420-19x17.jpg").c_str(), pixels.data(), 19, 17, 3, subsampled);

    std::vector<unsigned char> valid = ReadBytes(path("8x8.jpg"));
    WriteBytes(path("cut.jpg"), Cut(valid, valid.size() - 30));
    std::vector<unsigned char> corrupt = valid;
    corrupt[corrupt.size() - 40] = 0xFF;
    corrupt[corrupt.size() - 39] = 0xD9;
    WriteBytes(path("corrupt.jpg"), corrupt);
}

// Samples for width x height pixels of channels each, of depth bits.
std::vector<unsigned char> PngRows(int width, int height, int channels, int depth)
{
    const std::size_t stride = (static_cast<std::size_t>(width) * channels * depth + 7) / 8;
    std::vector<unsigned char> rows(stride * static_cast<std::size_t>(height));
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i] = static_cast<unsigned char>(i * 37 + 11);
    return rows;
}

void PngSeeds(const std::string& dir)
{
    const auto put = [&](const char* name, PngLayout layout, int channels) {
        WriteBytes(dir + "/" + name, MakePng(layout, PngRows(static_cast<int>(layout.width),
                                                             static_cast<int>(layout.height),
                                                             channels, layout.bitDepth)));
    };
    PngLayout rgb;
    rgb.width = 7;
    rgb.height = 5;
    put("rgb-7x5.png", rgb, 3);
    PngLayout rgba16 = rgb;
    rgba16.colourType = 6;
    rgba16.bitDepth = 16;
    put("rgba16-7x5.png", rgba16, 4);
    PngLayout grey2 = rgb;
    grey2.colourType = 0;
    grey2.bitDepth = 2;
    grey2.interlaced = true;
    put("grey2-interlaced-7x5.png", grey2, 1);
    PngLayout greyAlpha = rgb;
    greyAlpha.colourType = 4;
    greyAlpha.transparency.clear();
    put("grey-alpha-7x5.png", greyAlpha, 2);
    PngLayout palette = rgb;
    palette.colourType = 3;
    palette.bitDepth = 4;
    for (int i = 0; i < 16; ++i)
        palette.palette.insert(palette.palette.end(), {static_cast<unsigned char>(i * 16),
                                                       static_cast<unsigned char>(i * 3),
                                                       static_cast<unsigned char>(255 - i)});
    palette.transparency = {0, 128, 255};
    put("palette4-trns-7x5.png", palette, 1);
    PngLayout keyed = rgb;
    keyed.transparency = {0, 11, 0, 48, 0, 85};
    put("rgb-trns-7x5.png", keyed, 3);

    std::vector<unsigned char> valid = ReadBytes(dir + "/rgb-7x5.png");
    WriteBytes(dir + "/cut.png", Cut(valid, valid.size() - 20));
    WriteBytes(dir + "/header-only.png", Cut(valid, 33));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s BMP_DIR JPEG_DIR PNG_DIR\n", argv[0]);
        return 2;
    }
    for (int i = 1; i < 4; ++i) {
        std::filesystem::remove_all(argv[i]);
        std::filesystem::create_directories(argv[i]);
    }
    BmpSeeds(argv[1]);
    JpegSeeds(argv[2]);
    PngSeeds(argv[3]);
    return 0;
}
