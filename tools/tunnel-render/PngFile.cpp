#include "PngFile.h"

#include <csetjmp>
#include <cstdio>
#include <vector>

#include <png.h>

namespace {

// Everything libpng may longjmp over lives outside WritePng's frame.
struct PngTarget {
    std::FILE* file = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;

    ~PngTarget()
    {
        if (png != nullptr) {
            png_destroy_write_struct(&png, info != nullptr ? &info : nullptr);
        }
        if (file != nullptr) {
            std::fclose(file);
        }
    }
};

bool WritePng(PngTarget& target, const std::vector<png_bytep>& rows, int width, int height,
              int colourType)
{
    if (setjmp(png_jmpbuf(target.png))) {
        return false;
    }
    png_init_io(target.png, target.file);
    png_set_IHDR(target.png, target.info, static_cast<png_uint_32>(width),
                 static_cast<png_uint_32>(height), 8, colourType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(target.png, target.info);
    png_write_image(target.png, const_cast<png_bytepp>(rows.data()));
    png_write_end(target.png, nullptr);
    return true;
}

}  // namespace

bool WritePngFile(const std::string& path, const unsigned char* pixels, int width, int height,
                  int channels, std::string* error)
{
    const std::size_t stride = static_cast<std::size_t>(width) * static_cast<std::size_t>(channels);
    std::vector<png_bytep> rows(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        rows[static_cast<std::size_t>(y)] =
            const_cast<png_bytep>(pixels) + stride * static_cast<std::size_t>(y);
    }
    const int colourType = channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;

    PngTarget target;
    target.file = std::fopen(path.c_str(), "wb");
    if (target.file == nullptr) {
        *error = "cannot open " + path + " for writing";
        return false;
    }
    target.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    target.info = target.png != nullptr ? png_create_info_struct(target.png) : nullptr;
    if (target.info == nullptr || !WritePng(target, rows, width, height, colourType)) {
        *error = "cannot write PNG data to " + path;
        return false;
    }
    if (std::fflush(target.file) != 0 || std::ferror(target.file)) {
        *error = "write error on " + path;
        return false;
    }
    return true;
}
