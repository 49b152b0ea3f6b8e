#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "TempDir.h"

// The loaders read files by name, so each fuzz input goes to one scratch file
// of this process, rewritten for every input and removed at exit.
inline const char* WriteFuzzInput(const std::uint8_t* data, std::size_t size)
{
    static const TempDir folder;
    static const std::string path = folder.Path("input");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || (size != 0 && std::fwrite(data, 1, size, file) != size) ||
        std::fclose(file) != 0) {
        std::abort();
    }
    return path.c_str();
}

// What every decoder promises on any input: a failure hands over no pixels,
// a success a picture of positive size. True when there is one to read.
template <typename Image>
bool HandsOverAPicture(bool decoded, const Image& image)
{
    if (!decoded) {
        if (image.pixels != nullptr) {
            __builtin_trap();
        }
        return false;
    }
    if (image.width <= 0 || image.height <= 0 || image.pixels == nullptr) {
        __builtin_trap();
    }
    return true;
}
