#pragma once

#include <cstdint>

// Reading of uncompressed 24-bit BMP files, kept free of GL so that tests and
// the fuzzer run exactly the code that Texture::LoadBMP uses.
//
// The file is read in three pieces without seeking: the 14-byte file header,
// the info block up to the pixel data (its fields kept, the rest dropped
// through a small buffer, never allocated), and the pixel data. Only files the
// upload can show correctly are accepted: 24 bits per pixel, uncompressed,
// width and height not zero, a pixel block that fits 32 bits and holds every
// row the upload reads. The pixel block is the only allocation, made only
// when the file still holds the bytes to fill it (when its size can be told).

enum class BmpResult {
    kOk,
    kCannotOpen,
    kShortHeader,  // fewer than 14 bytes
    kNotBmp,       // magic is not "BM"
    kBadInfoSize,  // pixel-data offset leaves no room for the fields read
    kShortInfo,
    kUnsupported,  // bit depth, compression or size the upload cannot show
    kOutOfMemory,
    kShortPixels,
};

struct BmpImage {
    std::int32_t width = 0;   // set once the headers are accepted, else left 0
    std::int32_t height = 0;  // rows, always positive: top-down files are turned over
    // On kOk: the pixel data as read, bottom row first (texture t = 0), blue,
    // green, red bytes, each row padded to a multiple of 4 bytes. Allocated
    // with std::malloc; the caller frees it. Null on every other result.
    unsigned char* pixels = nullptr;
    std::uint32_t pixelBytes = 0;
};

BmpResult ReadBmpFile(const char* path, BmpImage* image);
