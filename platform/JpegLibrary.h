#pragma once

#include <cstddef>
#include <cstdint>

// Our stand-in for the JPEG decoding library the texture loader was written
// against: three entries working on one properties record.
//
// The record is 20,032 bytes. The loader writes and reads 32-bit fields at the
// byte offsets below; every other byte is the library's own.

constexpr std::size_t kJpegRecordSize = 20032;

enum JpegRecordOffset : std::size_t {
    kJpegOutPixels = 4,       // address of the output pixel block (32-bit layout)
    kJpegOutWidth = 8,
    kJpegOutHeight = 12,
    kJpegOutChannels = 20,    // 3, or 1 for grey
    kJpegOutColour = 24,      // kJpegColourRgb or kJpegColourGrey
    kJpegFileName = 32,       // address of the zero-terminated file name (32-bit layout)
    kJpegImageWidth = 44,     // written by the parameter read
    kJpegImageHeight = 48,
};

enum JpegColour : std::int32_t { kJpegColourRgb = 1, kJpegColourGrey = 4 };

enum JpegReadMode : std::int32_t { kJpegReadParams = 0, kJpegReadWholeImage = 2 };

constexpr std::int32_t kJpegOk = 0;

struct JpegRecord {
    alignas(8) unsigned char bytes[kJpegRecordSize];
};

std::int32_t JpegInit(JpegRecord* record);
std::int32_t JpegRead(JpegRecord* record, std::int32_t mode);
std::int32_t JpegFree(JpegRecord* record);

// Addresses do not fit the 32-bit fields on a 64-bit build, so the two
// pointers also live in pointer-sized fields in the record's unused area.
// The loader sets them through these helpers, which fill both places.
void JpegSetFileName(JpegRecord* record, const char* path);
void JpegSetOutputPixels(JpegRecord* record, unsigned char* pixels);

std::int32_t JpegGetField(const JpegRecord* record, std::size_t offset);
void JpegSetField(JpegRecord* record, std::size_t offset, std::int32_t value);
