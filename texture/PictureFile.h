#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

// A picture the viewer chose, read whatever its format into one layout, GL-free
// so that tests and the fuzzers run exactly what Texture::LoadPicture does.
// The format is told by the file's first bytes, never by its name.

enum class PictureFormat { kUnknown, kJpeg, kPng, kBmp };

// The format the first bytes of a file announce; kUnknown for too few bytes.
PictureFormat SniffPictureFormat(const unsigned char* head, std::size_t length);

struct FreeWithStdFree {
    void operator()(unsigned char* pixels) const { std::free(pixels); }
};
using PicturePixels = std::unique_ptr<unsigned char, FreeWithStdFree>;

// 8-bit RGB, top row first, rows of width x 3 bytes with nothing between
// them: the layout Demo.jpg goes up in, so a picture is never upside down.
struct PictureImage {
    std::int32_t width = 0;
    std::int32_t height = 0;
    PicturePixels rgb;
};

// Reads a JPEG, PNG or BMP file. False, with the reason in a few words, when
// it cannot be opened, its format is none of these, or its decoder refuses
// it; the image is then left empty.
bool ReadPictureFile(const char* path, PictureImage* image, std::string* reason);
