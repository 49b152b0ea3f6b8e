#include <cstddef>

#include "JpegWriter.h"
#include "TestImages.h"

bool WriteTestJpeg(const std::string& path, int width, int height, int channels,
                   const std::function<Rgb8(int, int)>& at, int quality, bool progressive)
{
    std::vector<unsigned char> pixels;
    pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                   static_cast<std::size_t>(channels));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgb8 c = at(x, y);
            pixels.push_back(c.r);
            if (channels == 3) {
                pixels.push_back(c.g);
                pixels.push_back(c.b);
            }
        }
    }
    JpegWriteOptions options;
    options.quality = quality;
    options.progressive = progressive;
    return WriteJpegFile(path.c_str(), pixels.data(), width, height, channels, options);
}
