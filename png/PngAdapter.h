#pragma once

#include <cstdint>

// PNG pictures, read the same way on every platform: the adapter
// (PngAdapter.cpp) opens the file, checks its signature and header chunk
// itself, refuses sizes over the cap before it allocates, and hands one
// checked request to the decoder the platform links (PngRequest.h): libpng
// on Linux (PngLibDecoder.cpp), WIC on Windows (PngWicDecoder.cpp); a build
// without one (PngMissingDecoder.cpp) answers kNoDecoder, and the picture
// falls back like any unreadable one.

// The largest decoded block (8-bit RGBA) the adapter allocates: a file of a
// few hundred bytes can declare 2^31 - 1 pixels each way.
constexpr std::uint64_t kPngMaxPixelBytes = 512ull * 1024 * 1024;

enum class PngResult {
    kOk,
    kCannotOpen,
    kShortHeader,  // fewer bytes than the signature and the header chunk
    kNotPng,       // the signature is not PNG's
    kNoHeader,     // the first chunk is not a 13-byte IHDR
    kBadSize,      // width or height zero or above 2^31 - 1
    kBadFormat,    // bit depth and colour type that do not go together, or an
                   // unknown compression, filter or interlace method
    kTooLarge,     // the decoded block would exceed kPngMaxPixelBytes
    kOutOfMemory,
    kDecode,     // corrupt, truncated or otherwise undecodable data
    kNoDecoder,  // this build reads no PNG
};

// What went wrong, in a few words, for the message naming the file.
const char* PngResultText(PngResult result);

struct PngImage {
    std::int32_t width = 0;  // set once the header is accepted, else left 0
    std::int32_t height = 0;
    // On kOk: 8-bit RGB, top row first, rows of width x 3 bytes with nothing
    // between them; 16-bit samples scaled to 8, grey and palette expanded,
    // alpha dropped onto black. Allocated with std::malloc; the caller frees
    // it. Null on every other result.
    unsigned char* pixels = nullptr;
};

PngResult ReadPngFile(const char* path, PngImage* image);
