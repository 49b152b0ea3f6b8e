#pragma once

#include <cstdint>
#include <string>
#include <vector>

// PNG files the tests make for themselves: through libpng's writer for
// valid files of every layout, and chunk by chunk for hostile ones.

struct PngLayout {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int bitDepth = 8;
    int colourType = 2;  // 0 grey, 2 RGB, 3 palette, 4 grey and alpha, 6 RGBA
    bool interlaced = false;
    std::vector<unsigned char> palette;       // RGB triples, for colour type 3
    std::vector<unsigned char> transparency;  // the tRNS chunk's bytes, if any
};

// A valid file: rows are the samples as the file stores them, top row first,
// each (width x channels x bitDepth + 7) / 8 bytes, 16-bit samples big-endian.
std::vector<unsigned char> MakePng(const PngLayout& layout, const std::vector<unsigned char>& rows);

// One chunk: length, type, data and its CRC.
std::vector<unsigned char> PngChunk(const char* type, const std::vector<unsigned char>& data);

// The signature and an IHDR chunk with these fields, as a hostile file's head.
std::vector<unsigned char> PngHead(std::uint32_t width, std::uint32_t height, int bitDepth,
                                   int colourType, int compression = 0, int filter = 0,
                                   int interlace = 0);

// The index of the first byte of the first chunk of that type, or the size.
std::size_t FindPngChunk(const std::vector<unsigned char>& file, const char* type);
