// The PNG adapter's decoder over libpng; PngAdapter.cpp checks the header and
// owns the block.

#include "platform/RegularFile.h"
#include "png/PngRequest.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <png.h>

namespace {

// Ancillary chunks (text, ICC profiles) are read and dropped; these keep a
// hostile file from making libpng hold much of them.
constexpr png_alloc_size_t kMaxChunkBytes = 8u * 1024 * 1024;
constexpr png_uint_32 kMaxCachedChunks = 1000;

// libpng does not apply the chunk cap to every chunk (a text chunk may
// declare 2 GB and get them), so each of its allocations is capped here:
// nothing it needs is larger than a few rows of 16-bit RGBA.
png_voidp CappedMalloc(png_structp png, png_alloc_size_t size)
{
    const auto* cap = static_cast<const png_alloc_size_t*>(png_get_mem_ptr(png));
    return size > *cap ? nullptr : std::malloc(size);
}

void CappedFree(png_structp, png_voidp pointer)
{
    std::free(pointer);
}

void DiscardWarning(png_structp, png_const_charp) {}

// libpng's default error handler prints; ours only jumps back.
[[noreturn]] void TrapError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

}  // namespace

// All libpng calls live here, with nothing that has a destructor, because an
// error longjmps back to the setjmp below and would skip it.
PngResult DecodePngFile(const PngRequest& request)
{
    std::FILE* const file = OpenRegularFile(request.path);
    if (file == nullptr) {
        return PngResult::kCannotOpen;
    }
    const png_alloc_size_t rowBytes = static_cast<png_alloc_size_t>(request.width) * 8;
    png_alloc_size_t allocationCap = kMaxChunkBytes + rowBytes;
    png_structp png =
        png_create_read_struct_2(PNG_LIBPNG_VER_STRING, nullptr, TrapError, DiscardWarning,
                                 &allocationCap, CappedMalloc, CappedFree);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        std::fclose(file);
        return PngResult::kOutOfMemory;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(file);
        return PngResult::kDecode;
    }
    png_set_user_limits(png, static_cast<png_uint_32>(request.width),
                        static_cast<png_uint_32>(request.height));
    png_set_chunk_malloc_max(png, kMaxChunkBytes);
    png_set_chunk_cache_max(png, kMaxCachedChunks);
    png_init_io(png, file);
    png_read_info(png, info);
    if (png_get_image_width(png, info) != static_cast<png_uint_32>(request.width) ||
        png_get_image_height(png, info) != static_cast<png_uint_32>(request.height)) {
        png_error(png, "size changed");
    }
    // Every layout becomes 8-bit RGBA: palette and low grey expanded, a
    // transparent colour made alpha, 16 bits scaled, grey copied to RGB, and
    // opaque alpha added where there is none.
    png_set_palette_to_rgb(png);
    png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS) != 0) {
        png_set_tRNS_to_alpha(png);
    }
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const png_size_t stride = static_cast<png_size_t>(request.width) * 4;
    if (png_get_rowbytes(png, info) != stride) {
        png_error(png, "unexpected row layout");
    }
    // Row by row into the block itself: no row table to allocate, and an
    // interlaced image's later passes fill in the rows the earlier ones left.
    for (int pass = 0; pass < passes; ++pass) {
        for (png_uint_32 y = 0; y < static_cast<png_uint_32>(request.height); ++y) {
            png_read_row(png, request.rgba + y * stride, nullptr);
        }
    }
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    return PngResult::kOk;
}
