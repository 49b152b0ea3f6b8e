// The PNG adapter's own part, the same for every decoder: the header checks,
// the cap, the block, and alpha dropped onto black.

#include "png/PngAdapter.h"

#include <cstdlib>
#include <cstring>

#include "platform/FileHead.h"
#include "png/PngRequest.h"

namespace {

constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
// The signature, then the header chunk's length, type and 13 bytes of data.
constexpr std::size_t kHeadBytes = 8 + 4 + 4 + 13;

std::uint32_t BigEndian32(const unsigned char* p)
{
    return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
           (static_cast<std::uint32_t>(p[2]) << 8) | static_cast<std::uint32_t>(p[3]);
}

// The bit depths each colour type allows.
bool DepthFitsColour(unsigned depth, unsigned colour)
{
    switch (colour) {
    case 0:  // grey
        return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case 3:  // palette
        return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2:  // RGB
    case 4:  // grey and alpha
    case 6:  // RGBA
        return depth == 8 || depth == 16;
    default:
        return false;
    }
}

// A short read is a short header.
PngResult ReadHead(const char* path, unsigned char (&head)[kHeadBytes])
{
    std::size_t total = 0;
    if (!ReadFileHead(path, head, kHeadBytes, &total)) {
        return PngResult::kCannotOpen;
    }
    if (total >= sizeof kSignature && std::memcmp(head, kSignature, sizeof kSignature) != 0) {
        return PngResult::kNotPng;
    }
    return total < kHeadBytes ? PngResult::kShortHeader : PngResult::kOk;
}

PngResult CheckHead(const unsigned char (&head)[kHeadBytes], std::int32_t* width,
                    std::int32_t* height)
{
    const unsigned char* chunk = head + sizeof kSignature;
    if (BigEndian32(chunk) != 13 || std::memcmp(chunk + 4, "IHDR", 4) != 0) {
        return PngResult::kNoHeader;
    }
    const unsigned char* data = chunk + 8;
    const std::uint32_t w = BigEndian32(data);
    const std::uint32_t h = BigEndian32(data + 4);
    if (w == 0 || h == 0 || w > 0x7FFFFFFFu || h > 0x7FFFFFFFu) {
        return PngResult::kBadSize;
    }
    const unsigned depth = data[8];
    const unsigned colour = data[9];
    if (!DepthFitsColour(depth, colour) || data[10] != 0 || data[11] != 0 || data[12] > 1) {
        return PngResult::kBadFormat;
    }
    *width = static_cast<std::int32_t>(w);
    *height = static_cast<std::int32_t>(h);
    return PngResult::kOk;
}

// In place, front to back: each RGB triple lands at or before the RGBA
// quadruple it comes from.
void DropAlphaOntoBlack(unsigned char* pixels, std::uint64_t count)
{
    for (std::uint64_t i = 0; i < count; ++i) {
        const unsigned char* from = pixels + i * 4;
        unsigned char* to = pixels + i * 3;
        const unsigned alpha = from[3];
        for (int c = 0; c < 3; ++c) {
            to[c] = static_cast<unsigned char>((from[c] * alpha + 127u) / 255u);
        }
    }
}

}  // namespace

const char* PngResultText(PngResult result)
{
    switch (result) {
    case PngResult::kOk:
        return "no error";
    case PngResult::kCannotOpen:
        return "cannot open the file";
    case PngResult::kShortHeader:
        return "PNG header cut short";
    case PngResult::kNotPng:
        return "not a PNG file";
    case PngResult::kNoHeader:
        return "PNG without its header chunk first";
    case PngResult::kBadSize:
        return "PNG width or height out of range";
    case PngResult::kBadFormat:
        return "PNG bit depth, colour type or method not known";
    case PngResult::kTooLarge:
        return "PNG too large to decode";
    case PngResult::kOutOfMemory:
        return "out of memory";
    case PngResult::kDecode:
        return "corrupt or truncated PNG data";
    case PngResult::kNoDecoder:
        return "this build reads no PNG";
    }
    return "unknown PNG error";
}

PngResult ReadPngFile(const char* path, PngImage* image)
{
    *image = PngImage{};
    if (path == nullptr) {
        return PngResult::kCannotOpen;
    }
    unsigned char head[kHeadBytes] = {};
    PngResult result = ReadHead(path, head);
    if (result != PngResult::kOk) {
        return result;
    }
    std::int32_t width = 0;
    std::int32_t height = 0;
    result = CheckHead(head, &width, &height);
    if (result != PngResult::kOk) {
        return result;
    }
    image->width = width;
    image->height = height;

    const std::uint64_t count =
        static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
    if (count * 4 > kPngMaxPixelBytes) {
        return PngResult::kTooLarge;
    }
    auto* pixels = static_cast<unsigned char*>(std::malloc(static_cast<std::size_t>(count * 4)));
    if (pixels == nullptr) {
        return PngResult::kOutOfMemory;
    }
    const PngRequest request{path, width, height, pixels};
    result = DecodePngFile(request);
    if (result != PngResult::kOk) {
        std::free(pixels);
        return result;
    }
    DropAlphaOntoBlack(pixels, count);
    image->pixels = pixels;
    return PngResult::kOk;
}
