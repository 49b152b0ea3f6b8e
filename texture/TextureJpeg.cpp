#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "jpeg/JpegAdapter.h"
#include "texture/Texture.h"
#include "texture/TextureGl.h"

namespace {

// Null when the size is not positive, the block would exceed the adapter's
// cap (a tiny hostile file may declare gigabytes), or the allocator has no room.
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

}  // namespace

bool Texture::LoadJPEG(const char* path, bool grayscale)
{
    Prepare(path);

    JpegRecord record;
    std::memset(&record, 0, sizeof record);
    if (JpegInit(&record) != kJpegOk) {
        return false;
    }
    JpegSetFileName(&record, path);
    std::int32_t status = JpegRead(&record, kJpegReadParams);
    if (status == kJpegOk) {
        width = JpegGetField(&record, kJpegImageWidth);
        height = JpegGetField(&record, kJpegImageHeight);
        const std::int32_t channels = grayscale ? 1 : 3;
        unsigned char* pixels = AllocatePixelBlock(width, height, channels);
        if (pixels == nullptr) {
            // Nothing can be shown, so say so and show the checker instead.
            status = kJpegErrBadOutput;
        } else {
            JpegSetOutputPixels(&record, pixels);
            JpegSetField(&record, kJpegOutColour, grayscale ? kJpegColourGrey : kJpegColourRgb);
            JpegSetField(&record, kJpegOutWidth, width);
            JpegSetField(&record, kJpegOutHeight, height);
            JpegSetField(&record, kJpegOutChannels, channels);
            status = JpegRead(&record, kJpegReadWholeImage);
            if (status == kJpegOk) {
                // Grey values, not alpha: GL_LUMINANCE like the checker.
                UploadTightRows(channels, width, height, grayscale ? GL_LUMINANCE : GL_RGB, pixels);
            }
            std::free(pixels);
        }
    }
    JpegFree(&record);

    if (status != kJpegOk) {
        width = 2;
        height = 2;
        UploadTightRows(1, 2, 2, GL_LUMINANCE, kFallbackPattern);
    }
    return status == kJpegOk;
}
