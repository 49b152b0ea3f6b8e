#pragma once

#include <string>

// Writes 8-bit pixels as a PNG file: width x height pixels of `channels`
// bytes each, 3 (RGB) or 4 (RGB and alpha), tightly packed, top row first.
// False, with *error set, when the file cannot be written.
bool WritePngFile(const std::string& path, const unsigned char* pixels, int width, int height,
                  int channels, std::string* error);
