#pragma once

#include <cstddef>
#include <cstdint>

// Our stand-in for the JPEG decoding library the texture loader was written
// against: three entries working on one properties record (JpegAdapter.cpp).
// It decodes with libjpeg-turbo (JpegTurboDecoder.cpp), or on Windows with the
// Imaging Component (JpegWicDecoder.cpp).
//
// The record is 20,032 bytes. The loader writes and reads 32-bit
// little-endian fields at the byte offsets below; every other byte is the
// library's own.
//
// Calling order: JpegInit, then any number of JpegRead calls, then JpegFree.
// JpegRead with kJpegReadParams opens the file named in the record and stores
// the image's width and height; with kJpegReadWholeImage it decodes the whole
// image into the output block the record describes, rows top row first, each
// row exactly width x channels bytes with nothing between rows. Every call
// returns kJpegOk or a negative failure code; a failed call leaves the output
// block's contents unspecified but never writes outside it.

constexpr std::size_t kJpegRecordSize = 20032;

// The largest output block a whole-image read decodes into, as large as the
// decoder's own working memory may grow: a file of a few hundred bytes can
// declare 65500 x 65500 pixels. The loader refuses larger images before it
// allocates; the adapter refuses such a block with kJpegErrBadOutput before
// it opens the file.
constexpr std::uint64_t kJpegMaxPixelBytes = 512ull * 1024 * 1024;

enum JpegRecordOffset : std::size_t {
    kJpegOutPixels = 4,  // address of the output pixel block (32-bit layout)
    kJpegOutWidth = 8,
    kJpegOutHeight = 12,
    kJpegOutChannels = 20,  // 3, or 1 for grey
    kJpegOutColour = 24,    // kJpegColourRgb or kJpegColourGrey
    kJpegFileName = 32,     // address of the zero-terminated file name (32-bit layout)
    kJpegImageWidth = 44,   // written by the parameter read
    kJpegImageHeight = 48,
};

// The library's private fields, in the part of the record the loader never
// touches. Addresses do not fit the 32-bit fields on a 64-bit build, so the
// two pointers live here in full; the 32-bit fields get their low half only.
enum JpegPrivateOffset : std::size_t {
    kJpegPrivInitMark = 20000,   // kJpegInitMark between init and free
    kJpegPrivFileName = 20016,   // const char*, pointer-aligned
    kJpegPrivOutPixels = 20024,  // unsigned char*, pointer-aligned
};
constexpr std::uint32_t kJpegInitMark = 0x4A504731u;

enum JpegColour : std::int32_t { kJpegColourRgb = 1, kJpegColourGrey = 4 };

enum JpegReadMode : std::int32_t { kJpegReadParams = 0, kJpegReadWholeImage = 2 };

enum JpegStatus : std::int32_t {
    kJpegOk = 0,
    kJpegErrNotInitialised = -1,  // read or free without a successful init
    kJpegErrBadArgument = -2,     // null record, unknown mode, missing name or block
    kJpegErrOpenFile = -3,        // the file cannot be opened
    kJpegErrBadOutput = -4,       // output size, channels or colour code do not fit the image,
                                  // or the block would exceed kJpegMaxPixelBytes
    kJpegErrDecode = -5,          // not a JPEG, corrupt, truncated or unsupported data
};

struct JpegRecord {
    alignas(8) unsigned char bytes[kJpegRecordSize];
};
static_assert(kJpegPrivOutPixels + sizeof(void*) <= kJpegRecordSize, "private fields fit");
static_assert(kJpegPrivFileName % alignof(void*) == 0 && kJpegPrivOutPixels % alignof(void*) == 0,
              "pointer fields are aligned");

std::int32_t JpegInit(JpegRecord* record);
std::int32_t JpegRead(JpegRecord* record, std::int32_t mode);
std::int32_t JpegFree(JpegRecord* record);

// The loader sets the two addresses through these helpers, which fill both
// the 32-bit field and the pointer-sized private field.
void JpegSetFileName(JpegRecord* record, const char* path);
void JpegSetOutputPixels(JpegRecord* record, unsigned char* pixels);

std::int32_t JpegGetField(const JpegRecord* record, std::size_t offset);
void JpegSetField(JpegRecord* record, std::size_t offset, std::int32_t value);
