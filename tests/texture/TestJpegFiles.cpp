#include <cstddef>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

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

bool WriteManyScanJpeg(const std::string& path, int width, int height, bool refine)
{
    std::vector<jpeg_scan_info> scans;
    jpeg_scan_info dc{};
    dc.comps_in_scan = 1;
    dc.component_index[0] = 0;
    scans.push_back(dc);
    for (int pass = 0; pass < (refine ? 2 : 1); ++pass) {
        for (int k = 1; k < 64; ++k) {
            jpeg_scan_info ac = dc;
            ac.Ss = k;
            ac.Se = k;
            ac.Ah = refine && pass == 1 ? 1 : 0;
            ac.Al = refine && pass == 0 ? 1 : 0;
            scans.push_back(ac);
        }
    }
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width) *
                                      static_cast<std::size_t>(height));
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = static_cast<unsigned char>(i * 37);
    }
    JpegWriteOptions options;
    options.scans = scans.data();
    options.scanCount = static_cast<int>(scans.size());
    return WriteJpegFile(path.c_str(), pixels.data(), width, height, 1, options);
}
