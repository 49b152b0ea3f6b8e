// The JPEG adapter's decoder in the Windows build, through the Windows Imaging
// Component, which every Windows has; JpegAdapter.cpp holds the record and
// checks each read, as for libjpeg-turbo. Each read opens the file anew inside
// its own COM scope, so the record holds no COM state and a failed read leaves
// nothing behind.

#include "jpeg/JpegAdapter.h"
#include "jpeg/JpegRequest.h"

#include "platform/Win32Types.h"  // <windows.h>, lean and without min/max
#include "wic/WicFile.h"
#include <wincodec.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

namespace {

// The first frame of a JPEG file, with what it takes to convert it.
struct OpenedJpeg {
    ComRef<IWICImagingFactory> factory;
    ComRef<IWICStream> stream;
    ComRef<IWICBitmapDecoder> decoder;
    ComRef<IWICBitmapFrameDecode> frame;
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool grey = false;  // else 24-bit BGR
    bool cmyk = false;
};

std::int32_t OpenJpeg(const char* path, OpenedJpeg& jpeg)
{
    std::wstring widePath;
    if (!WidePath(path, widePath) || !IsDiskFile(widePath)) {
        return kJpegErrOpenFile;
    }
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, jpeg.factory.outVoid()))) {
        return kJpegErrDecode;
    }
    if (FAILED(jpeg.factory->CreateStream(jpeg.stream.out())) ||
        FAILED(jpeg.stream->InitializeFromFilename(widePath.c_str(), GENERIC_READ))) {
        return kJpegErrOpenFile;
    }
    // Asking for the JPEG decoder by name: other image formats WIC knows are
    // not JPEG files and fail here as they do in the other adapter.
    if (FAILED(
            jpeg.factory->CreateDecoder(GUID_ContainerFormatJpeg, nullptr, jpeg.decoder.out())) ||
        FAILED(jpeg.decoder->Initialize(jpeg.stream.get(), WICDecodeMetadataCacheOnLoad)) ||
        FAILED(jpeg.decoder->GetFrame(0, jpeg.frame.out()))) {
        return kJpegErrDecode;
    }
    UINT width = 0;
    UINT height = 0;
    WICPixelFormatGUID format;
    if (FAILED(jpeg.frame->GetSize(&width, &height)) ||
        FAILED(jpeg.frame->GetPixelFormat(&format))) {
        return kJpegErrDecode;
    }
    if (width == 0 || height == 0 || width > INT32_MAX || height > INT32_MAX) {
        return kJpegErrDecode;
    }
    if (!IsEqualGUID(format, GUID_WICPixelFormat8bppGray) &&
        !IsEqualGUID(format, GUID_WICPixelFormat24bppBGR) &&
        !IsEqualGUID(format, GUID_WICPixelFormat32bppCMYK)) {
        return kJpegErrDecode;
    }
    jpeg.grey = IsEqualGUID(format, GUID_WICPixelFormat8bppGray);
    jpeg.cmyk = IsEqualGUID(format, GUID_WICPixelFormat32bppCMYK);
    jpeg.width = static_cast<std::int32_t>(width);
    jpeg.height = static_cast<std::int32_t>(height);
    return kJpegOk;
}

// Grey from a colour frame with JPEG's own luma weights, as libjpeg gives it,
// a band of rows at a time through a small buffer.
std::int32_t ColourToGrey(const OpenedJpeg& jpeg, const JpegRequest& output)
{
    constexpr INT kBandRows = 16;
    const UINT bgrRowBytes = static_cast<UINT>(output.width) * 3u;
    std::vector<unsigned char> band(static_cast<std::size_t>(bgrRowBytes) * kBandRows);
    unsigned char* grey = output.pixels;
    for (INT top = 0; top < output.height; top += kBandRows) {
        const INT rows = std::min<INT>(kBandRows, output.height - top);
        const WICRect rect = {0, top, output.width, rows};
        if (FAILED(jpeg.frame->CopyPixels(&rect, bgrRowBytes, bgrRowBytes * static_cast<UINT>(rows),
                                          band.data()))) {
            return kJpegErrDecode;
        }
        const std::size_t pixels =
            static_cast<std::size_t>(output.width) * static_cast<std::size_t>(rows);
        for (std::size_t i = 0; i < pixels; ++i) {
            const std::uint32_t blue = band[3 * i];
            const std::uint32_t green = band[3 * i + 1];
            const std::uint32_t red = band[3 * i + 2];
            *grey++ = static_cast<unsigned char>(
                (19595u * red + 38470u * green + 7471u * blue + 32768u) >> 16);
        }
    }
    return kJpegOk;
}

std::int32_t DecodeInto(const OpenedJpeg& jpeg, const JpegRequest& output)
{
    // The block was sized from the parameter read; we decode at the image's
    // own size only, and the file may have changed since.
    if (output.width != jpeg.width || output.height != jpeg.height) {
        return kJpegErrBadOutput;
    }
    // Like the libjpeg adapter, no conversion from CMYK.
    if (jpeg.cmyk) {
        return kJpegErrDecode;
    }
    const unsigned long long stride = static_cast<unsigned long long>(output.width) *
                                      static_cast<unsigned long long>(output.channels);
    const unsigned long long size = stride * static_cast<unsigned long long>(output.height);
    if (size > UINT_MAX) {
        return kJpegErrBadOutput;
    }

    // Only the decoder's own formats are copied out, and every conversion is
    // ours: WIC converters differ between systems (Wine's cannot widen grey
    // to colour, and turns colour into grey through linear light).
    const UINT rowBytes = static_cast<UINT>(stride);
    const UINT blockBytes = static_cast<UINT>(size);
    if (jpeg.grey) {
        const UINT greyRowBytes = static_cast<UINT>(output.width);
        const UINT greyBytes = greyRowBytes * static_cast<UINT>(output.height);
        if (FAILED(jpeg.frame->CopyPixels(nullptr, greyRowBytes, greyBytes, output.pixels))) {
            return kJpegErrDecode;
        }
        if (output.channels == 3) {
            // Widen in place from the end, so no grey byte is overwritten unread.
            for (unsigned long long i = greyBytes; i-- > 0;) {
                const unsigned char value = output.pixels[i];
                output.pixels[3 * i] = value;
                output.pixels[3 * i + 1] = value;
                output.pixels[3 * i + 2] = value;
            }
        }
        return kJpegOk;
    }
    if (output.channels == 1) {
        return ColourToGrey(jpeg, output);
    }
    if (FAILED(jpeg.frame->CopyPixels(nullptr, rowBytes, blockBytes, output.pixels))) {
        return kJpegErrDecode;
    }
    for (unsigned long long i = 0; i < size; i += 3) {
        const unsigned char blue = output.pixels[i];
        output.pixels[i] = output.pixels[i + 2];
        output.pixels[i + 2] = blue;
    }
    return kJpegOk;
}

}  // namespace

std::int32_t DecodeJpegFile(JpegRequest& request)
{
    ComScope com;
    if (!com.Ready()) {
        return kJpegErrDecode;
    }
    OpenedJpeg jpeg;
    const std::int32_t opened = OpenJpeg(request.path, jpeg);
    if (opened != kJpegOk) {
        return opened;
    }
    if (request.wholeImage) {
        return DecodeInto(jpeg, request);
    }
    request.imageWidth = jpeg.width;
    request.imageHeight = jpeg.height;
    return kJpegOk;
}
