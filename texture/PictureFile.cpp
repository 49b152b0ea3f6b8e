#include "texture/PictureFile.h"

#include <cstring>
#include <utility>

#include "jpeg/JpegAdapter.h"
#include "platform/FileHead.h"
#include "png/PngAdapter.h"
#include "texture/BmpFile.h"
#include "texture/JpegFile.h"

namespace {

constexpr std::size_t kSniffBytes = 8;

const char* JpegStatusText(std::int32_t status)
{
    switch (status) {
    case kJpegErrOpenFile:
        return "cannot open the file";
    case kJpegErrBadOutput:
        return "JPEG too large to decode";
    case kJpegErrDecode:
        return "corrupt, truncated or unsupported JPEG data";
    default:
        return "JPEG reader failed";
    }
}

const char* BmpResultText(BmpResult result)
{
    switch (result) {
    case BmpResult::kOk:
        return "no error";
    case BmpResult::kCannotOpen:
        return "cannot open the file";
    case BmpResult::kShortHeader:
        return "BMP header cut short";
    case BmpResult::kNotBmp:
        return "not a BMP file";
    case BmpResult::kBadInfoSize:
        return "BMP pixel data offset too small";
    case BmpResult::kShortInfo:
        return "BMP info block cut short";
    case BmpResult::kUnsupported:
        return "BMP not 24-bit uncompressed, or of a size that cannot be shown";
    case BmpResult::kOutOfMemory:
        return "out of memory";
    case BmpResult::kShortPixels:
        return "BMP pixel data cut short";
    }
    return "unknown BMP error";
}

bool ReadJpeg(const char* path, PictureImage* image, std::string* reason)
{
    JpegImage jpeg;
    const std::int32_t status = ReadJpegFile(path, 3, &jpeg);
    if (status != kJpegOk) {
        *reason = JpegStatusText(status);
        return false;
    }
    image->width = jpeg.width;
    image->height = jpeg.height;
    image->rgb = std::move(jpeg.pixels);
    return true;
}

bool ReadPng(const char* path, PictureImage* image, std::string* reason)
{
    PngImage png;
    const PngResult result = ReadPngFile(path, &png);
    if (result != PngResult::kOk) {
        *reason = PngResultText(result);
        return false;
    }
    image->width = png.width;
    image->height = png.height;
    image->rgb.reset(png.pixels);
    return true;
}

// BMP rows come bottom first, blue first, padded to 4 bytes.
bool ReadBmp(const char* path, PictureImage* image, std::string* reason)
{
    BmpImage bmp;
    const BmpResult result = ReadBmpFile(path, &bmp);
    PicturePixels source(bmp.pixels);
    if (result != BmpResult::kOk) {
        *reason = BmpResultText(result);
        return false;
    }
    PicturePixels rgb(AllocatePixelBlock(bmp.width, bmp.height, 3));
    if (rgb == nullptr) {
        *reason = "out of memory";
        return false;
    }
    const std::size_t width = static_cast<std::size_t>(bmp.width);
    const std::size_t height = static_cast<std::size_t>(bmp.height);
    const std::size_t stride = (width * 3 + 3) / 4 * 4;
    for (std::size_t y = 0; y < height; ++y) {
        const unsigned char* from = source.get() + (height - 1 - y) * stride;
        unsigned char* to = rgb.get() + y * width * 3;
        for (std::size_t x = 0; x < width; ++x) {
            to[x * 3 + 0] = from[x * 3 + 2];
            to[x * 3 + 1] = from[x * 3 + 1];
            to[x * 3 + 2] = from[x * 3 + 0];
        }
    }
    image->width = bmp.width;
    image->height = bmp.height;
    image->rgb = std::move(rgb);
    return true;
}

}  // namespace

PictureFormat SniffPictureFormat(const unsigned char* head, std::size_t length)
{
    static const unsigned char kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (length >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF) {
        return PictureFormat::kJpeg;
    }
    if (length >= sizeof kPng && std::memcmp(head, kPng, sizeof kPng) == 0) {
        return PictureFormat::kPng;
    }
    if (length >= 2 && head[0] == 'B' && head[1] == 'M') {
        return PictureFormat::kBmp;
    }
    return PictureFormat::kUnknown;
}

bool ReadPictureFile(const char* path, PictureImage* image, std::string* reason)
{
    *image = PictureImage{};
    unsigned char head[kSniffBytes] = {};
    std::size_t length = 0;
    if (path == nullptr || !ReadFileHead(path, head, kSniffBytes, &length)) {
        *reason = "cannot open the file";
        return false;
    }
    switch (SniffPictureFormat(head, length)) {
    case PictureFormat::kJpeg:
        return ReadJpeg(path, image, reason);
    case PictureFormat::kPng:
        return ReadPng(path, image, reason);
    case PictureFormat::kBmp:
        return ReadBmp(path, image, reason);
    case PictureFormat::kUnknown:
        break;
    }
    *reason = length == 0 ? "empty file" : "not a JPEG, PNG or BMP picture";
    return false;
}
