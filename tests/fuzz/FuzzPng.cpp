// libFuzzer target: the PNG adapter over libpng, on any file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "FuzzInputFile.h"
#include "png/PngAdapter.h"

namespace {
volatile unsigned g_sink;  // keeps the reads below from being optimised away
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    PngImage image;
    const bool decoded = ReadPngFile(WriteFuzzInput(data, size), &image) == PngResult::kOk;
    if (!HandsOverAPicture(decoded, image)) {
        return 0;
    }
    // Every byte the upload reads; ASan reports any outside the block, MSan
    // would report any left unwritten.
    const std::size_t bytes =
        static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 3;
    unsigned sum = 0;
    for (std::size_t i = 0; i < bytes; i += 61) {
        sum += image.pixels[i];
    }
    sum += image.pixels[bytes - 1];
    g_sink = sum;
    std::free(image.pixels);
    return 0;
}
