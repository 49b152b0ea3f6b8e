#include "DamagedJpegs.h"

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <iterator>
#include <stdexcept>
#include <string>

#include "JpegTestFiles.h"

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

namespace {

// Offsets in kColourJpeg (297 bytes): the frame header's height and width
// are at 163, the last Huffman table starts at 247, the compressed rows take
// bytes 283 to 294 and the end marker 295 and 296.
constexpr std::size_t kColourInTables = 257;
constexpr std::size_t kColourFrameSize = 163;
constexpr std::size_t kColourInRows = 289;
// In kProgressiveJpeg the second scan's tables start at 249.
constexpr std::size_t kProgressiveAfterFirstScan = 249;

std::vector<unsigned char> Colour(std::size_t keep = sizeof kColourJpeg)
{
    return std::vector<unsigned char>(kColourJpeg, kColourJpeg + keep);
}

std::string Write(const TempDir& folder, const std::vector<unsigned char>& bytes)
{
    const std::string path = folder.Path("damaged.jpg");
    WriteBytes(path, bytes);
    return path;
}

std::vector<unsigned char> Text(const char* text)
{
    return std::vector<unsigned char>(text, text + std::char_traits<char>::length(text));
}

// Throws unless `made`, so that a case never passes as a missing file.
std::string Made(bool made, const std::string& path)
{
    if (!made) {
        throw std::runtime_error("cannot make " + path);
    }
    return path;
}

}  // namespace

const std::vector<DamagedJpeg>& DamagedJpegs()
{
    static const std::vector<DamagedJpeg> damaged = {
        {"Missing", "a file that is not there",
         [](const TempDir& folder) { return folder.Path("no-such-folder/missing.jpg"); },
         JpegFailsAt::kOpen, JpegFailsAt::kOpen},
        {"Folder", "a folder with a JPEG's name",
         [](const TempDir& folder) {
             const std::string path = folder.Path("folder.jpg");
             return Made(std::filesystem::create_directory(path), path);
         },
         JpegFailsAt::kOpen, JpegFailsAt::kOpen},
#if !defined(_WIN32)
        // Opening either the plain way would wait for a writer, or read for ever.
        {"Fifo", "a named pipe",
         [](const TempDir& folder) {
             const std::string path = folder.Path("fifo.jpg");
             return Made(mkfifo(path.c_str(), 0600) == 0, path);
         },
         JpegFailsAt::kOpen, JpegFailsAt::kOpen},
        {"Device", "an endless device", [](const TempDir&) { return std::string("/dev/zero"); },
         JpegFailsAt::kOpen, JpegFailsAt::kOpen},
#endif
        {"Empty", "an empty file", [](const TempDir& folder) { return Write(folder, {}); },
         JpegFailsAt::kHeader, JpegFailsAt::kHeader},
        {"Text", "text, starting like a GIF",
         [](const TempDir& folder) {
             return Write(folder, Text("GIF89a, or anything else but a JPEG"));
         },
         JpegFailsAt::kHeader, JpegFailsAt::kHeader},
        {"Bmp", "a BMP's first bytes: an image, but not a JPEG",
         [](const TempDir& folder) {
             return Write(folder, {'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0});
         },
         JpegFailsAt::kHeader, JpegFailsAt::kHeader},
        {"CutInTheTables", "cut inside the Huffman tables, after the frame size",
         [](const TempDir& folder) { return Write(folder, Colour(kColourInTables)); },
         JpegFailsAt::kHeader, JpegFailsAt::kHeader},
        // Wine's decoder decodes the whole image as it opens the file: what
        // libjpeg finds in the pixels, it finds in the header.
        {"CutInTheRows", "cut inside the compressed rows",
         [](const TempDir& folder) { return Write(folder, Colour(kColourInRows)); },
         JpegFailsAt::kPixels, JpegFailsAt::kHeader},
        // Wine's decoder makes up the rows after the marker and takes the file.
        {"EndMarkerInTheRows", "an end marker in the middle of the compressed rows",
         [](const TempDir& folder) {
             std::vector<unsigned char> bytes = Colour();
             bytes[kColourInRows - 2] = 0xFF;
             bytes[kColourInRows - 1] = 0xD9;
             return Write(folder, bytes);
         },
         JpegFailsAt::kPixels, JpegFailsAt::kNowhere},
        // Cut short all the same, and the Windows decoder refuses it. With
        // zeros in the marker's place libjpeg has every row before the file
        // ends: only reading on to the end marker finds the fault. Wine's
        // decoder does not read on.
        {"NoEndMarker", "whole but for the end marker",
         [](const TempDir& folder) { return Write(folder, Colour(sizeof kColourJpeg - 2)); },
         JpegFailsAt::kPixels, JpegFailsAt::kHeader},
        {"ZerosForTheEndMarker", "whole, with eight zero bytes where the end marker belongs",
         [](const TempDir& folder) {
             // Sized at once: growing the vector trips GCC 12's -Warray-bounds
             // in C++20 at -O3.
             std::vector<unsigned char> bytes(sizeof kColourJpeg - 2 + 8, 0);
             std::copy(kColourJpeg, kColourJpeg + sizeof kColourJpeg - 2, bytes.begin());
             return Write(folder, bytes);
         },
         JpegFailsAt::kPixels, JpegFailsAt::kNowhere},
        {"ProgressiveCutBetweenScans", "progressive, cut after its first scan",
         [](const TempDir& folder) {
             return Write(
                 folder, std::vector<unsigned char>(kProgressiveJpeg,
                                                    kProgressiveJpeg + kProgressiveAfterFirstScan));
         },
         JpegFailsAt::kPixels, JpegFailsAt::kHeader},
        {"Cmyk", "four components (CMYK), which neither adapter converts",
         [](const TempDir& folder) {
             return Write(folder,
                          std::vector<unsigned char>(std::begin(kCmykJpeg), std::end(kCmykJpeg)));
         },
         JpegFailsAt::kPixels, JpegFailsAt::kPixels},
        // Wine's decoder, which decodes as it opens, writes past its own buffer
        // on the first and takes 680 MB and seconds on the second.
        {"SizeOverflows32Bits", "declares 65000 x 65000 pixels: 12.7e9 bytes of RGB",
         [](const TempDir& folder) { return Write(folder, ColourJpegDeclaring(65000, 65000)); },
         JpegFailsAt::kLoader, JpegFailsAt::kNotRun},
        {"LargerThanThePixelCap", "declares 15000 x 15000 pixels: 675e6 bytes of RGB",
         [](const TempDir& folder) { return Write(folder, ColourJpegDeclaring(15000, 15000)); },
         JpegFailsAt::kLoader, JpegFailsAt::kNotRun},
    };
    return damaged;
}

std::vector<unsigned char> ColourJpegDeclaring(int width, int height)
{
    std::vector<unsigned char> bytes = Colour();
    bytes[kColourFrameSize] = static_cast<unsigned char>(height >> 8);
    bytes[kColourFrameSize + 1] = static_cast<unsigned char>(height);
    bytes[kColourFrameSize + 2] = static_cast<unsigned char>(width >> 8);
    bytes[kColourFrameSize + 3] = static_cast<unsigned char>(width);
    return bytes;
}
