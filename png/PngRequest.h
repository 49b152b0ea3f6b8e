#pragma once

#include <cstdint>

#include "png/PngAdapter.h"

// Internal to the PNG adapter: PngAdapter.cpp opens and checks the file and
// owns the block; each platform's decoder only turns one checked request
// into pixels.

struct PngRequest {
    const char* path;
    // The size the adapter read from the header; the decoder fails with
    // kDecode if the file it decodes says otherwise.
    std::int32_t width;
    std::int32_t height;
    // width x height x 4 bytes: 8-bit red, green, blue, alpha (not
    // premultiplied), top row first, rows with nothing between them. The
    // decoder writes nothing outside it; after a failure its contents are
    // unspecified.
    unsigned char* rgba;
};

// Provided by the decoder the platform links (PngLibDecoder.cpp,
// PngWicDecoder.cpp, or PngMissingDecoder.cpp where there is none yet).
// Returns kOk, kCannotOpen, kDecode, kOutOfMemory or kNoDecoder. Never
// longjmps out, never aborts.
PngResult DecodePngFile(const PngRequest& request);
