#pragma once

#include <cstdint>

#include "texture/PictureFile.h"

// A whole JPEG file decoded through the adapter, GL-free: the one sequence of
// adapter calls that both Demo.jpg and a picture the viewer chose go through.

// Rows of width x channels bytes, top row first, nothing between them.
struct JpegImage {
    std::int32_t width = 0;
    std::int32_t height = 0;
    PicturePixels pixels;
};

// Null when the size is not positive, the block would exceed the adapter's
// cap (a tiny hostile file may declare gigabytes), or the allocator has no room.
unsigned char* AllocatePixelBlock(std::int32_t width, std::int32_t height, std::int32_t channels);

// Decodes the file at path as RGB (3 channels) or grey (1). Returns kJpegOk,
// or the adapter's failure code with the image left empty; a block the cap
// refuses is kJpegErrBadOutput, as the adapter would say.
std::int32_t ReadJpegFile(const char* path, std::int32_t channels, JpegImage* image);
