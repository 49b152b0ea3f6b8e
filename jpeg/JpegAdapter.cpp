// The record side of the JPEG adapter, the same for every decoder.

#include "jpeg/JpegRequest.h"

#include "jpeg/JpegAdapter.h"

#include <cstring>

namespace {

std::uint32_t GetU32(const JpegRecord* record, std::size_t offset)
{
    const unsigned char* p = record->bytes + offset;
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void SetU32(JpegRecord* record, std::size_t offset, std::uint32_t value)
{
    unsigned char* p = record->bytes + offset;
    p[0] = static_cast<unsigned char>(value);
    p[1] = static_cast<unsigned char>(value >> 8);
    p[2] = static_cast<unsigned char>(value >> 16);
    p[3] = static_cast<unsigned char>(value >> 24);
}

template <typename T>
T* GetPointer(const JpegRecord* record, std::size_t offset)
{
    T* pointer;
    std::memcpy(&pointer, record->bytes + offset, sizeof pointer);
    return pointer;
}

template <typename T>
void SetPointer(JpegRecord* record, std::size_t offset, T* pointer)
{
    std::memcpy(record->bytes + offset, &pointer, sizeof pointer);
}

bool IsInitialised(const JpegRecord* record)
{
    return GetU32(record, kJpegPrivInitMark) == kJpegInitMark;
}

// The whole-image read's output block, checked before the file is touched.
std::int32_t CheckOutput(const JpegRecord* record, JpegRequest& request)
{
    request.pixels = GetPointer<unsigned char>(record, kJpegPrivOutPixels);
    request.width = JpegGetField(record, kJpegOutWidth);
    request.height = JpegGetField(record, kJpegOutHeight);
    request.channels = JpegGetField(record, kJpegOutChannels);
    const std::int32_t colour = JpegGetField(record, kJpegOutColour);
    if (request.pixels == nullptr) {
        return kJpegErrBadArgument;
    }
    const bool rgb = request.channels == 3 && colour == kJpegColourRgb;
    const bool grey = request.channels == 1 && colour == kJpegColourGrey;
    if (!(rgb || grey) || request.width <= 0 || request.height <= 0) {
        return kJpegErrBadOutput;
    }
    const std::uint64_t bytes = static_cast<std::uint64_t>(request.width) *
                                static_cast<std::uint64_t>(request.height) *
                                static_cast<std::uint64_t>(request.channels);
    return bytes > kJpegMaxPixelBytes ? kJpegErrBadOutput : kJpegOk;
}

}  // namespace

std::int32_t JpegInit(JpegRecord* record)
{
    if (record == nullptr) {
        return kJpegErrBadArgument;
    }
    SetU32(record, kJpegPrivInitMark, kJpegInitMark);
    return kJpegOk;
}

std::int32_t JpegRead(JpegRecord* record, std::int32_t mode)
{
    if (record == nullptr || (mode != kJpegReadParams && mode != kJpegReadWholeImage)) {
        return kJpegErrBadArgument;
    }
    if (!IsInitialised(record)) {
        return kJpegErrNotInitialised;
    }
    JpegRequest request{};
    request.path = GetPointer<const char>(record, kJpegPrivFileName);
    if (request.path == nullptr) {
        return kJpegErrBadArgument;
    }
    request.wholeImage = mode == kJpegReadWholeImage;
    if (request.wholeImage) {
        const std::int32_t checked = CheckOutput(record, request);
        if (checked != kJpegOk) {
            return checked;
        }
    }
    const std::int32_t status = DecodeJpegFile(request);
    if (status == kJpegOk && !request.wholeImage) {
        JpegSetField(record, kJpegImageWidth, request.imageWidth);
        JpegSetField(record, kJpegImageHeight, request.imageHeight);
    }
    return status;
}

std::int32_t JpegFree(JpegRecord* record)
{
    if (record == nullptr) {
        return kJpegErrBadArgument;
    }
    if (!IsInitialised(record)) {
        return kJpegErrNotInitialised;
    }
    SetU32(record, kJpegPrivInitMark, 0);
    return kJpegOk;
}

void JpegSetFileName(JpegRecord* record, const char* path)
{
    SetU32(record, kJpegFileName,
           static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(path)));
    SetPointer(record, kJpegPrivFileName, path);
}

void JpegSetOutputPixels(JpegRecord* record, unsigned char* pixels)
{
    SetU32(record, kJpegOutPixels,
           static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(pixels)));
    SetPointer(record, kJpegPrivOutPixels, pixels);
}

std::int32_t JpegGetField(const JpegRecord* record, std::size_t offset)
{
    return static_cast<std::int32_t>(GetU32(record, offset));
}

void JpegSetField(JpegRecord* record, std::size_t offset, std::int32_t value)
{
    SetU32(record, offset, static_cast<std::uint32_t>(value));
}
