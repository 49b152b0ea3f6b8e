#include "JpegWriter.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

namespace {

struct ErrorTrap {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void TrapError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorTrap*>(info->err)->jump, 1);
}

void DiscardMessage(j_common_ptr) {}

// libjpeg calls only, nothing with a destructor: an error longjmps back here.
bool Compress(std::FILE* file, const unsigned char* pixels, int width, int height, int channels,
              const JpegWriteOptions* options)
{
    jpeg_compress_struct info;
    ErrorTrap trap;
    std::memset(&info, 0, sizeof info);
    info.err = jpeg_std_error(&trap.manager);
    trap.manager.error_exit = TrapError;
    trap.manager.output_message = DiscardMessage;
    if (setjmp(trap.jump) != 0) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = channels;
    info.in_color_space = channels == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, options->quality, TRUE);
    if (channels == 3 && options->fullChroma) {
        info.comp_info[0].h_samp_factor = 1;
        info.comp_info[0].v_samp_factor = 1;
    }
    if (options->scans != nullptr) {
        info.scan_info = options->scans;
        info.num_scans = options->scanCount;
    } else if (options->progressive) {
        jpeg_simple_progression(&info);
    }
    jpeg_start_compress(&info, TRUE);
    const std::size_t rowBytes =
        static_cast<std::size_t>(width) * static_cast<std::size_t>(channels);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<unsigned char*>(pixels) + rowBytes * info.next_scanline;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

}  // namespace

bool WriteJpegFile(const char* path, const unsigned char* pixels, int width, int height,
                   int channels, const JpegWriteOptions& options)
{
    if (pixels == nullptr || width <= 0 || height <= 0 || (channels != 1 && channels != 3)) {
        return false;
    }
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        return false;
    }
    const bool compressed = Compress(file, pixels, width, height, channels, &options);
    const bool closed = std::fclose(file) == 0;
    return compressed && closed;
}
