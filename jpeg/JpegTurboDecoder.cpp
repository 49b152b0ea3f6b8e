// The JPEG adapter's decoder over libjpeg-turbo; JpegAdapter.cpp holds the
// record and checks each read.

#include "jpeg/JpegAdapter.h"
#include "jpeg/JpegRequest.h"
#include "platform/RegularFile.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

namespace {

// Caps that keep hostile files from costing unbounded time or memory. Real
// progressive files have about ten scans; coefficient buffers beyond the
// memory cap make libjpeg fail (it has no backing store) instead of swapping.
constexpr int kMaxScans = 100;
constexpr long kMaxDecoderMemory = static_cast<long>(kJpegMaxPixelBytes);

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

}  // namespace

// All libjpeg calls live here, with nothing that has a destructor, because an
// error longjmps back to the setjmp below and would skip it.
std::int32_t DecodeJpegFile(JpegRequest& request)
{
    std::FILE* const file = OpenRegularFile(request.path);
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
    if (!request.wholeImage) {
        // libjpeg limits each side to 65500, so both fit a signed 32-bit field.
        request.imageWidth = static_cast<std::int32_t>(info.image_width);
        request.imageHeight = static_cast<std::int32_t>(info.image_height);
    } else if (request.width != static_cast<std::int32_t>(info.image_width) ||
               request.height != static_cast<std::int32_t>(info.image_height)) {
        status = kJpegErrBadOutput;  // we decode at the image's own size only
    } else {
        info.out_color_space = request.channels == 1 ? JCS_GRAYSCALE : JCS_RGB;
        jpeg_start_decompress(&info);
        if (info.output_components != request.channels) {
            status = kJpegErrBadOutput;
        } else {
            const std::size_t rowBytes = static_cast<std::size_t>(info.output_width) *
                                         static_cast<std::size_t>(request.channels);
            while (info.output_scanline < info.output_height) {
                JSAMPROW row = request.pixels + rowBytes * info.output_scanline;
                jpeg_read_scanlines(&info, &row, 1);
            }
            // Read on to the end marker: a file without one is cut short and
            // fails (libjpeg's warning is trapped), as with the Windows decoder.
            jpeg_finish_decompress(&info);
        }
    }
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    return status;
}
