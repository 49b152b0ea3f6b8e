#include "TestImages.h"

#include <algorithm>

namespace {

void Put16(std::vector<unsigned char>* out, std::size_t at, std::uint32_t value)
{
    (*out)[at] = static_cast<unsigned char>(value);
    (*out)[at + 1] = static_cast<unsigned char>(value >> 8);
}

void Put32(std::vector<unsigned char>* out, std::size_t at, std::uint32_t value)
{
    Put16(out, at, value & 0xFFFF);
    Put16(out, at + 2, value >> 16);
}

}  // namespace

std::vector<unsigned char> BmpRows(int width, int rows, const std::function<Rgb8(int, int)>& at)
{
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    std::vector<unsigned char> data(rowBytes * static_cast<std::size_t>(rows), 0xEE);
    for (int row = 0; row < rows; ++row) {
        for (int x = 0; x < width; ++x) {
            const Rgb8 c = at(x, row);
            unsigned char* p =
                &data[rowBytes * static_cast<std::size_t>(row) + 3 * static_cast<std::size_t>(x)];
            p[0] = c.b;
            p[1] = c.g;
            p[2] = c.r;
        }
    }
    return data;
}

std::vector<unsigned char> MakeBmp(const BmpLayout& layout,
                                   const std::vector<unsigned char>& pixelData)
{
    // Header bytes up to the pixel data; a short offset cuts the info header,
    // an absurd one is written as it is, in front of a normal header.
    const std::size_t headerBytes =
        layout.pixelOffset < 14 ? 14 : (layout.pixelOffset > 4096 ? 54 : layout.pixelOffset);
    std::vector<unsigned char> file(std::max<std::size_t>(headerBytes, 54), 0);
    Put16(&file, 0, layout.magic);
    Put32(&file, 2, static_cast<std::uint32_t>(headerBytes + pixelData.size()));
    Put32(&file, 10, layout.pixelOffset);
    Put32(&file, 14, 40);
    Put32(&file, 18, static_cast<std::uint32_t>(layout.width));
    Put32(&file, 22, static_cast<std::uint32_t>(layout.height));
    Put16(&file, 26, 1);
    Put16(&file, 28, layout.bitsPerPixel);
    Put32(&file, 30, layout.compression);
    Put32(&file, 34, layout.storedSize);
    file.resize(headerBytes);
    file.insert(file.end(), pixelData.begin(), pixelData.end());
    return file;
}
