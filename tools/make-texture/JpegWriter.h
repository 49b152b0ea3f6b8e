#pragma once

// Writes 8-bit images as JPEG files with libjpeg-turbo: the texture tool and
// the tests (which make their own image files) share it.

#include <cstdio>

#include <jpeglib.h>

struct JpegWriteOptions {
    int quality = 90;
    bool progressive = false;
    bool fullChroma = true;  // 4:4:4; false gives the common 4:2:0
    // A scan script of our own (progressive), used in place of libjpeg's.
    const jpeg_scan_info* scans = nullptr;
    int scanCount = 0;
};

// pixels: height rows of width x channels bytes, top row first, nothing
// between rows; channels 1 (grey) or 3 (red, green, blue). Returns false when
// the file cannot be written or libjpeg refuses the image.
bool WriteJpegFile(const char* path, const unsigned char* pixels, int width, int height,
                   int channels, const JpegWriteOptions& options = JpegWriteOptions());
