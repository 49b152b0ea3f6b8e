#include <cstdint>

#include "jpeg/JpegAdapter.h"
#include "texture/JpegFile.h"
#include "texture/Texture.h"
#include "texture/TextureGl.h"

bool Texture::LoadJPEG(const char* path, bool grayscale)
{
    Prepare(path);

    const std::int32_t channels = grayscale ? 1 : 3;
    JpegImage image;
    if (ReadJpegFile(path, channels, &image) == kJpegOk) {
        width = image.width;
        height = image.height;
        // Grey values, not alpha: GL_LUMINANCE like the checker.
        UploadTightRows(channels, width, height, grayscale ? GL_LUMINANCE : GL_RGB,
                        image.pixels.get());
        return true;
    }
    // Nothing can be shown, so say so and show the checker instead.
    width = 2;
    height = 2;
    UploadTightRows(1, 2, 2, GL_LUMINANCE, kFallbackPattern);
    return false;
}
