#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "TempDir.h"

// The damaged and hostile JPEG files that the JPEG adapter's tests and the
// texture loader's tests all go through. Over libjpeg-turbo the texture
// loader shows its checker for every one; the adapters differ in which read
// refuses some, and the Imaging Component column is what Wine's decoder does
// (the Windows tests run under Wine).

// Where a JPEG adapter stops on a file.
enum class JpegFailsAt {
    kOpen,     // the parameter read: kJpegErrOpenFile
    kHeader,   // the parameter read: kJpegErrDecode, no size stored
    kPixels,   // the parameter read succeeds, the whole-image read gives kJpegErrDecode
    kLoader,   // the parameter read succeeds: the declared size is what the loader refuses
    kNowhere,  // both reads succeed: the decoder makes up what is missing
    kNotRun,   // not given to this adapter; the entry says why
};

struct DamagedJpeg {
    const char* name;  // a test name
    const char* what;
    // Makes the file in `folder` (or leaves it missing) and gives its path.
    std::string (*make)(const TempDir& folder);
    JpegFailsAt libjpeg;  // the libjpeg-turbo adapter
    JpegFailsAt wic;      // the Windows Imaging Component adapter
};

const std::vector<DamagedJpeg>& DamagedJpegs();

inline void PrintTo(const DamagedJpeg& file, std::ostream* out)
{
    *out << file.name;
}

// The colour test JPEG (JpegTestFiles.h) with a frame header that declares
// width x height pixels.
std::vector<unsigned char> ColourJpegDeclaring(int width, int height);
