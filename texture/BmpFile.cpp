#include "texture/BmpFile.h"

#include <algorithm>
#include <cstdlib>

#include "platform/Win32Files.h"

namespace {

constexpr std::uint32_t kFileHeaderBytes = 14;
constexpr std::uint32_t kMinInfoBytes = 24;  // up to and including the stored size
constexpr std::uint16_t kMagic = 0x4D42;     // "BM"

std::uint16_t U16(const unsigned char* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t U32(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::int32_t I32(const unsigned char* p)
{
    return static_cast<std::int32_t>(U32(p));
}

struct PixelLayout {
    std::int32_t width;
    std::int32_t rows;
    bool topDown;
    std::uint32_t rowBytes;
    std::uint32_t requiredBytes;  // what the upload reads: every padded row
    std::uint32_t readBytes;      // what the file says to read
};

bool ParseInfo(const unsigned char* info, PixelLayout* layout)
{
    const std::int32_t width = I32(info + 4);
    const std::int32_t height = I32(info + 8);
    const std::uint16_t bitsPerPixel = U16(info + 14);
    const std::uint32_t compression = U32(info + 16);
    const std::uint32_t storedBytes = U32(info + 20);

    if (bitsPerPixel != 24 || compression != 0 || width <= 0 || height == 0) {
        return false;
    }
    const std::int64_t rows = height < 0 ? -static_cast<std::int64_t>(height) : height;
    const std::uint64_t rowBytes = (static_cast<std::uint64_t>(width) * 3 + 3) & ~std::uint64_t{3};
    const std::uint64_t required = rowBytes * static_cast<std::uint64_t>(rows);
    if (required > UINT32_MAX || rows > INT32_MAX) {
        return false;
    }
    // A stored size is used as given, but never one the upload would overrun.
    const std::uint64_t readBytes = storedBytes != 0 ? storedBytes : required;
    if (readBytes < required) {
        return false;
    }
    layout->width = width;
    layout->rows = static_cast<std::int32_t>(rows);
    layout->topDown = height < 0;
    layout->rowBytes = static_cast<std::uint32_t>(rowBytes);
    layout->requiredBytes = static_cast<std::uint32_t>(required);
    layout->readBytes = static_cast<std::uint32_t>(readBytes);
    return true;
}

// The texture's first row is the bottom one, as in a bottom-up file.
void TurnOver(unsigned char* pixels, const PixelLayout& layout)
{
    unsigned char* top = pixels;
    unsigned char* bottom = pixels + static_cast<std::size_t>(layout.rows - 1) * layout.rowBytes;
    while (top < bottom) {
        std::swap_ranges(top, top + layout.rowBytes, bottom);
        top += layout.rowBytes;
        bottom -= layout.rowBytes;
    }
}

// The open file, closed on every way out.
struct OpenedFile {
    HANDLE handle = INVALID_HANDLE_VALUE;
    std::int64_t unread = -1;  // bytes left in the file; -1 when its size is unknown

    OpenedFile() = default;
    OpenedFile(const OpenedFile&) = delete;
    OpenedFile& operator=(const OpenedFile&) = delete;
    ~OpenedFile()
    {
        if (handle != INVALID_HANDLE_VALUE) {
            CloseHandle(handle);
        }
    }

    // A read the file is too short for fails before anything is allocated
    // for it, so a tiny file cannot make us reserve gigabytes.
    bool Holds(std::uint32_t count) const { return unread < 0 || count <= unread; }

    bool Read(void* buffer, std::uint32_t count)
    {
        DWORD got = 0;
        ReadFile(handle, buffer, count, &got, nullptr);
        if (unread >= 0) {
            unread -= got;
        }
        return got == count;
    }

    // Reads and drops count bytes through a small buffer: the rest of the
    // info block (a longer header, a colour table) is never used, and a file
    // whose size cannot be told (a pipe) must not make us allocate what its
    // header claims.
    bool Skip(std::uint32_t count)
    {
        unsigned char buffer[4096];
        while (count > 0) {
            const std::uint32_t part = std::min<std::uint32_t>(count, sizeof buffer);
            if (!Read(buffer, part)) {
                return false;
            }
            count -= part;
        }
        return true;
    }
};

}  // namespace

BmpResult ReadBmpFile(const char* path, BmpImage* image)
{
    *image = BmpImage{};
    if (path == nullptr) {
        return BmpResult::kCannotOpen;
    }
    OpenedFile file;
    file.handle = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file.handle == INVALID_HANDLE_VALUE) {
        return BmpResult::kCannotOpen;
    }
    LARGE_INTEGER size;
    if (GetFileSizeEx(file.handle, &size)) {
        file.unread = size.QuadPart;
    }

    unsigned char header[kFileHeaderBytes];
    if (!file.Read(header, kFileHeaderBytes)) {
        return BmpResult::kShortHeader;
    }
    if (U16(header) != kMagic) {
        return BmpResult::kNotBmp;
    }
    // An offset below 38 cannot hold the fields read, or would wrap the length round.
    const std::uint32_t pixelOffset = U32(header + 10);
    if (pixelOffset < kFileHeaderBytes + kMinInfoBytes) {
        return BmpResult::kBadInfoSize;
    }
    const std::uint32_t infoBytes = pixelOffset - kFileHeaderBytes;
    if (!file.Holds(infoBytes)) {
        return BmpResult::kShortInfo;
    }
    unsigned char info[kMinInfoBytes];
    if (!file.Read(info, kMinInfoBytes) || !file.Skip(infoBytes - kMinInfoBytes)) {
        return BmpResult::kShortInfo;
    }

    PixelLayout layout;
    if (!ParseInfo(info, &layout)) {
        return BmpResult::kUnsupported;
    }
    image->width = layout.width;
    image->height = layout.rows;

    if (!file.Holds(layout.readBytes)) {
        return BmpResult::kShortPixels;
    }
    unsigned char* pixels = static_cast<unsigned char*>(std::malloc(layout.readBytes));
    if (pixels == nullptr) {
        return BmpResult::kOutOfMemory;
    }
    if (!file.Read(pixels, layout.readBytes)) {
        std::free(pixels);
        return BmpResult::kShortPixels;
    }
    if (layout.topDown) {
        TurnOver(pixels, layout);
    }
    image->pixels = pixels;
    image->pixelBytes = layout.readBytes;
    return BmpResult::kOk;
}
