// libFuzzer target: the JPEG adapter, called as Texture::LoadJPEG calls it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "FuzzInputFile.h"
#include "jpeg/JpegAdapter.h"

namespace {

// Larger images are only header-read: decoding them proves nothing more and
// would spend the time budget on a few inputs.
constexpr std::uint64_t kMaxBlockBytes = 16u << 20;
constexpr std::size_t kGuardBytes = 64;
constexpr unsigned char kGuard = 0xA5;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const char* path = WriteFuzzInput(data, size);
    JpegRecord record;
    std::memset(&record, 0, sizeof record);
    if (JpegInit(&record) != kJpegOk) {
        __builtin_trap();
    }
    JpegSetFileName(&record, path);
    if (JpegRead(&record, kJpegReadParams) == kJpegOk) {
        const std::int32_t width = JpegGetField(&record, kJpegImageWidth);
        const std::int32_t height = JpegGetField(&record, kJpegImageHeight);
        // Both output forms, chosen by the input so each is covered.
        const std::int32_t channels = (size & 1) != 0 ? 1 : 3;
        const std::uint64_t bytes = static_cast<std::uint64_t>(width) *
                                    static_cast<std::uint64_t>(height) *
                                    static_cast<std::uint64_t>(channels);
        if (width > 0 && height > 0 && bytes <= kMaxBlockBytes) {
            // libjpeg itself is not instrumented, so guard bytes after the
            // block catch any row written too long.
            unsigned char* block = static_cast<unsigned char*>(std::malloc(bytes + kGuardBytes));
            std::memset(block + bytes, kGuard, kGuardBytes);
            JpegSetOutputPixels(&record, block);
            JpegSetField(&record, kJpegOutWidth, width);
            JpegSetField(&record, kJpegOutHeight, height);
            JpegSetField(&record, kJpegOutChannels, channels);
            JpegSetField(&record, kJpegOutColour, channels == 1 ? kJpegColourGrey : kJpegColourRgb);
            JpegRead(&record, kJpegReadWholeImage);
            for (std::size_t i = 0; i < kGuardBytes; ++i) {
                if (block[bytes + i] != kGuard) {
                    __builtin_trap();
                }
            }
            std::free(block);
        }
    }
    JpegFree(&record);
    return 0;
}
