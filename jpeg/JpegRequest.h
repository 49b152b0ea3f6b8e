#pragma once

#include <cstdint>

// Internal to the JPEG adapter: JpegAdapter.cpp owns the record and checks
// every read; each platform's decoder only turns one checked request into
// pixels or an image size.

// One read, taken out of the record and checked.
struct JpegRequest {
    const char* path;
    bool wholeImage;
    // Whole-image read: the output block and its layout.
    unsigned char* pixels;
    std::int32_t width;
    std::int32_t height;
    std::int32_t channels;
    // Parameter read: the image's size, stored into the record on success.
    std::int32_t imageWidth;
    std::int32_t imageHeight;
};

// Provided by the decoder the platform links (JpegTurboDecoder.cpp or
// JpegWicDecoder.cpp). Returns kJpegOk or a JpegStatus failure code.
std::int32_t DecodeJpegFile(JpegRequest& request);
