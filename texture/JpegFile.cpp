#include "texture/JpegFile.h"

#include <cstdlib>
#include <cstring>
#include <utility>

#include "jpeg/JpegAdapter.h"

unsigned char* AllocatePixelBlock(std::int32_t width, std::int32_t height, std::int32_t channels)
{
    if (width <= 0 || height <= 0) {
        return nullptr;
    }
    const std::uint64_t bytes = static_cast<std::uint64_t>(width) *
                                static_cast<std::uint64_t>(height) *
                                static_cast<std::uint64_t>(channels);
    if (bytes > kJpegMaxPixelBytes) {
        return nullptr;
    }
    return static_cast<unsigned char*>(std::malloc(static_cast<std::size_t>(bytes)));
}

std::int32_t ReadJpegFile(const char* path, std::int32_t channels, JpegImage* image)
{
    JpegRecord record;
    std::memset(&record, 0, sizeof record);
    std::int32_t status = JpegInit(&record);
    if (status != kJpegOk) {
        return status;
    }
    JpegSetFileName(&record, path);
    status = JpegRead(&record, kJpegReadParams);
    std::int32_t width = 0;
    std::int32_t height = 0;
    PicturePixels pixels;
    if (status == kJpegOk) {
        width = JpegGetField(&record, kJpegImageWidth);
        height = JpegGetField(&record, kJpegImageHeight);
        pixels.reset(AllocatePixelBlock(width, height, channels));
        if (pixels == nullptr) {
            status = kJpegErrBadOutput;
        } else {
            JpegSetOutputPixels(&record, pixels.get());
            JpegSetField(&record, kJpegOutColour, channels == 1 ? kJpegColourGrey : kJpegColourRgb);
            JpegSetField(&record, kJpegOutWidth, width);
            JpegSetField(&record, kJpegOutHeight, height);
            JpegSetField(&record, kJpegOutChannels, channels);
            status = JpegRead(&record, kJpegReadWholeImage);
        }
    }
    JpegFree(&record);
    if (status == kJpegOk) {
        image->width = width;
        image->height = height;
        image->pixels = std::move(pixels);
    }
    return status;
}
