#include "PngTestFiles.h"

#include <cstring>
#include <stdexcept>

#include <png.h>
#include <zlib.h>

namespace {

void Append(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void Flush(png_structp) {}

void PutBigEndian32(std::vector<unsigned char>* out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out->push_back(static_cast<unsigned char>(value >> shift));
}

int Channels(int colourType)
{
    switch (colourType) {
    case 2:
        return 3;
    case 4:
        return 2;
    case 6:
        return 4;
    default:
        return 1;
    }
}

}  // namespace

std::vector<unsigned char> MakePng(const PngLayout& layout, const std::vector<unsigned char>& rows)
{
    const std::size_t stride =
        (static_cast<std::size_t>(layout.width) * Channels(layout.colourType) * layout.bitDepth +
         7) /
        8;
    if (rows.size() != stride * layout.height)
        throw std::runtime_error("MakePng: rows of the wrong size");
    std::vector<unsigned char> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("MakePng: libpng refused the layout");
    }
    png_set_write_fn(png, &out, Append, Flush);
    png_set_IHDR(png, info, layout.width, layout.height, layout.bitDepth, layout.colourType,
                 layout.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (std::size_t i = 0; i + 2 < layout.palette.size(); i += 3)
        palette.push_back(
            png_color{layout.palette[i], layout.palette[i + 1], layout.palette[i + 2]});
    if (!palette.empty())
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    if (!layout.transparency.empty()) {
        if (layout.colourType == 3) {
            png_set_tRNS(png, info, layout.transparency.data(),
                         static_cast<int>(layout.transparency.size()), nullptr);
        } else {
            // Grey: one 16-bit value; RGB: three.
            png_color_16 colour{};
            const auto value = [&](std::size_t i) {
                return static_cast<png_uint_16>((layout.transparency[i] << 8) |
                                                layout.transparency[i + 1]);
            };
            if (layout.colourType == 0) {
                colour.gray = value(0);
            } else {
                colour.red = value(0);
                colour.green = value(2);
                colour.blue = value(4);
            }
            png_set_tRNS(png, info, nullptr, 0, &colour);
        }
    }
    png_write_info(png, info);
    std::vector<png_bytep> rowPointers(layout.height);
    for (std::uint32_t y = 0; y < layout.height; ++y)
        rowPointers[y] = const_cast<png_bytep>(rows.data() + y * stride);
    png_write_image(png, rowPointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::vector<unsigned char> PngChunk(const char* type, const std::vector<unsigned char>& data)
{
    std::vector<unsigned char> chunk;
    PutBigEndian32(&chunk, static_cast<std::uint32_t>(data.size()));
    chunk.insert(chunk.end(), type, type + 4);
    chunk.insert(chunk.end(), data.begin(), data.end());
    const uLong crc =
        crc32(crc32(0L, nullptr, 0), chunk.data() + 4, static_cast<uInt>(chunk.size() - 4));
    PutBigEndian32(&chunk, static_cast<std::uint32_t>(crc));
    return chunk;
}

std::vector<unsigned char> PngHead(std::uint32_t width, std::uint32_t height, int bitDepth,
                                   int colourType, int compression, int filter, int interlace)
{
    std::vector<unsigned char> file = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<unsigned char> fields;
    PutBigEndian32(&fields, width);
    PutBigEndian32(&fields, height);
    for (int field : {bitDepth, colourType, compression, filter, interlace})
        fields.push_back(static_cast<unsigned char>(field));
    const std::vector<unsigned char> chunk = PngChunk("IHDR", fields);
    file.insert(file.end(), chunk.begin(), chunk.end());
    return file;
}

std::size_t FindPngChunk(const std::vector<unsigned char>& file, const char* type)
{
    std::size_t at = 8;
    while (at + 8 <= file.size()) {
        if (std::memcmp(file.data() + at + 4, type, 4) == 0)
            return at;
        const std::uint32_t length = (static_cast<std::uint32_t>(file[at]) << 24) |
                                     (static_cast<std::uint32_t>(file[at + 1]) << 16) |
                                     (static_cast<std::uint32_t>(file[at + 2]) << 8) | file[at + 3];
        at += 12 + static_cast<std::size_t>(length);
    }
    return file.size();
}
