#include "platform/JpegLibrary.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

namespace {

// Caps that keep hostile files from costing unbounded time or memory. Real
// progressive files have about ten scans; coefficient buffers beyond the
// memory cap make libjpeg fail (it has no backing store) instead of swapping.
constexpr int kMaxScans = 100;
constexpr long kMaxDecoderMemory = 512L * 1024 * 1024;

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

struct ErrorTrap {
    jpeg_error_mgr manager;  // first, so the library's pointer is ours too
    std::jmp_buf jump;
};

[[noreturn]] void TrapError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorTrap*>(info->err)->jump, 1);
}

// libjpeg reports corrupt or missing data as a warning and goes on with made-up
// pixels; a texture should rather fall back than show them.
void TrapCorruptData(j_common_ptr info, int level)
{
    if (level < 0) {
        TrapError(info);
    }
}

void DiscardMessage(j_common_ptr) {}

void LimitScans(j_common_ptr info)
{
    if (info->is_decompressor &&
        reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxScans) {
        TrapError(info);
    }
}

struct DecodeRequest {
    const char* path;
    bool wholeImage;
    // Whole-image read: the output block and its layout.
    unsigned char* pixels;
    std::int32_t width;
    std::int32_t height;
    std::int32_t channels;
    // Parameter read: the image's size.
    std::int32_t imageWidth;
    std::int32_t imageHeight;
};

// All libjpeg calls live here, with nothing that has a destructor, because an
// error longjmps back to the setjmp below and would skip it.
std::int32_t Decode(DecodeRequest* request)
{
    std::FILE* const file = std::fopen(request->path, "rb");
    if (file == nullptr) {
        return kJpegErrOpenFile;
    }

    jpeg_decompress_struct info;
    ErrorTrap trap;
    jpeg_progress_mgr progress;
    std::memset(&info, 0, sizeof info);
    info.err = jpeg_std_error(&trap.manager);
    trap.manager.error_exit = TrapError;
    trap.manager.emit_message = TrapCorruptData;
    trap.manager.output_message = DiscardMessage;
    if (setjmp(trap.jump) != 0) {
        jpeg_destroy_decompress(&info);
        std::fclose(file);
        return kJpegErrDecode;
    }

    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = kMaxDecoderMemory;
    progress.progress_monitor = LimitScans;
    info.progress = &progress;
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);

    std::int32_t status = kJpegOk;
    if (!request->wholeImage) {
        // libjpeg limits each side to 65500, so both fit a signed 32-bit field.
        request->imageWidth = static_cast<std::int32_t>(info.image_width);
        request->imageHeight = static_cast<std::int32_t>(info.image_height);
    } else if (request->width != static_cast<std::int32_t>(info.image_width) ||
               request->height != static_cast<std::int32_t>(info.image_height)) {
        status = kJpegErrBadOutput;  // we decode at the image's own size only
    } else {
        info.out_color_space = request->channels == 1 ? JCS_GRAYSCALE : JCS_RGB;
        jpeg_start_decompress(&info);
        if (info.output_components != request->channels) {
            status = kJpegErrBadOutput;
        } else {
            const std::size_t rowBytes = static_cast<std::size_t>(info.output_width) *
                                         static_cast<std::size_t>(request->channels);
            while (info.output_scanline < info.output_height) {
                JSAMPROW row = request->pixels + rowBytes * info.output_scanline;
                jpeg_read_scanlines(&info, &row, 1);
            }
            // Every row is in: no jpeg_finish_decompress, so a file that merely
            // lacks its end marker still counts as decoded.
        }
    }
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    return status;
}

bool IsInitialised(const JpegRecord* record)
{
    return GetU32(record, kJpegPrivInitMark) == kJpegInitMark;
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
    DecodeRequest request{};
    request.path = GetPointer<const char>(record, kJpegPrivFileName);
    if (request.path == nullptr) {
        return kJpegErrBadArgument;
    }
    request.wholeImage = mode == kJpegReadWholeImage;
    if (request.wholeImage) {
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
    }
    const std::int32_t status = Decode(&request);
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
