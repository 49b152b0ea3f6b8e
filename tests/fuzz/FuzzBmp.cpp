// libFuzzer target: the BMP reader that Texture::LoadBMP uses, on any file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "FuzzInputFile.h"
#include "texture/BmpFile.h"

namespace {
volatile unsigned g_sink;  // keeps the reads below from being optimised away
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    BmpImage image;
    const bool decoded = ReadBmpFile(WriteFuzzInput(data, size), &image) == BmpResult::kOk;
    if (!HandsOverAPicture(decoded, image)) {
        return 0;
    }
    // Read every byte the upload reads, as the mipmap builder would with the
    // BMP's 4-byte row alignment; ASan reports any that lie outside the block.
    const std::size_t rowBytes = (static_cast<std::size_t>(image.width) * 3 + 3) & ~std::size_t{3};
    const std::size_t lastRow = rowBytes * static_cast<std::size_t>(image.height - 1);
    unsigned sum = 0;
    for (std::size_t row = 0; row <= lastRow; row += rowBytes) {
        sum +=
            image.pixels[row] + image.pixels[row + static_cast<std::size_t>(image.width) * 3 - 1];
    }
    if (lastRow + static_cast<std::size_t>(image.width) * 3 > image.pixelBytes) {
        __builtin_trap();
    }
    g_sink = sum;
    std::free(image.pixels);
    return 0;
}
