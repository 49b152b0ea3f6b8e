#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "TempDir.h"

// Image files the texture tests make for themselves, in a temporary folder.

struct Rgb8 {
    unsigned char r, g, b;
};

// A 24-bit BMP's headers as the loader reads them; pixel data goes after.
struct BmpLayout {
    std::uint16_t magic = 0x4D42;  // "BM"
    std::uint32_t pixelOffset = 54;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t bitsPerPixel = 24;
    std::uint32_t compression = 0;
    std::uint32_t storedSize = 0;
};

// Rows in file order, blue, green, red, each padded to 4 bytes.
std::vector<unsigned char> BmpRows(int width, int rows,
                                   const std::function<Rgb8(int x, int row)>& at);

// File header, a 40-byte info header (padded or cut to pixelOffset - 14
// bytes; left whole when the offset is beyond 4096), then pixelData.
std::vector<unsigned char> MakeBmp(const BmpLayout& layout,
                                   const std::vector<unsigned char>& pixelData);

// Writes a JPEG of width x height: channels 3 from at(), or 1 from at().r.
// Quality 100 without chroma subsampling unless told otherwise.
bool WriteTestJpeg(const std::string& path, int width, int height, int channels,
                   const std::function<Rgb8(int x, int y)>& at, int quality = 100,
                   bool progressive = false);

// A grey progressive JPEG whose scan script has one scan for the DC
// coefficients and then one (refined: two) for each of the 63 AC
// coefficients: 64 scans, or 127 with refinement.
bool WriteManyScanJpeg(const std::string& path, int width, int height, bool refine);
