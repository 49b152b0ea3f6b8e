// The PNG adapter's decoder in the Windows build, through the Windows Imaging
// Component, as the JPEG adapter's (jpeg/JpegWicDecoder.cpp); PngAdapter.cpp
// checks the header and owns the block. Each decode opens the file in its own
// COM scope and leaves nothing behind.

#include "png/PngRequest.h"

#include "platform/Win32Types.h"  // <windows.h>, lean and without min/max
#include "wic/WicFile.h"
#include <wincodec.h>

#include <climits>
#include <string>

namespace {

PngResult Failure(HRESULT result)
{
    return result == E_OUTOFMEMORY ? PngResult::kOutOfMemory : PngResult::kDecode;
}

}  // namespace

PngResult DecodePngFile(const PngRequest& request)
{
    ComScope com;
    if (!com.Ready())
        return PngResult::kDecode;
    std::wstring path;
    if (!WidePath(request.path, path) || !IsDiskFile(path))
        return PngResult::kCannotOpen;
    ComRef<IWICImagingFactory> factory;
    ComRef<IWICStream> stream;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, factory.outVoid())))
        return PngResult::kDecode;
    if (FAILED(factory->CreateStream(stream.out())) ||
        FAILED(stream->InitializeFromFilename(path.c_str(), GENERIC_READ)))
        return PngResult::kCannotOpen;

    // PNG's own decoder by name: the adapter has checked the signature, and a
    // file changed since then fails here rather than in another format.
    ComRef<IWICBitmapDecoder> decoder;
    ComRef<IWICBitmapFrameDecode> frame;
    HRESULT result = factory->CreateDecoder(GUID_ContainerFormatPng, nullptr, decoder.out());
    if (SUCCEEDED(result))
        result = decoder->Initialize(stream.get(), WICDecodeMetadataCacheOnDemand);
    if (SUCCEEDED(result))
        result = decoder->GetFrame(0, frame.out());
    if (FAILED(result))
        return Failure(result);
    UINT width = 0;
    UINT height = 0;
    if (FAILED(frame->GetSize(&width, &height)) || width != static_cast<UINT>(request.width) ||
        height != static_cast<UINT>(request.height))
        return PngResult::kDecode;
    const unsigned long long stride = static_cast<unsigned long long>(width) * 4;
    const unsigned long long size = stride * height;
    if (size > UINT_MAX)
        return PngResult::kDecode;

    // Straight (not premultiplied) RGBA, or BGRA where the system's
    // converter offers only that, turned round here.
    ComRef<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(converter.out())))
        return PngResult::kDecode;
    bool blueFirst = false;
    result =
        converter->Initialize(frame.get(), GUID_WICPixelFormat32bppRGBA, WICBitmapDitherTypeNone,
                              nullptr, 0.0, WICBitmapPaletteTypeCustom);
    if (FAILED(result)) {
        blueFirst = true;
        result = converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGRA,
                                       WICBitmapDitherTypeNone, nullptr, 0.0,
                                       WICBitmapPaletteTypeCustom);
    }
    if (SUCCEEDED(result))
        result = converter->CopyPixels(nullptr, static_cast<UINT>(stride), static_cast<UINT>(size),
                                       request.rgba);
    if (FAILED(result))
        return Failure(result);
    if (blueFirst) {
        for (unsigned long long i = 0; i < size; i += 4) {
            const unsigned char blue = request.rgba[i];
            request.rgba[i] = request.rgba[i + 2];
            request.rgba[i + 2] = blue;
        }
    }
    return PngResult::kOk;
}
