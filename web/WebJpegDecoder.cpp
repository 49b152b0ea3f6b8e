// The JPEG adapter's decoder in the web build, through the browser's own
// image decoder, as the Windows build uses its Imaging Component;
// JpegAdapter.cpp holds the record and checks each read. The file is fetched
// from the page's folder; the size read takes the frame header's size
// without decoding, so a file that declares more than the cap is refused
// before anything is decoded.

#include "jpeg/JpegAdapter.h"
#include "jpeg/JpegRequest.h"

#include <cstdint>

// The page's side (WebBackend.js). Both wait for the fetch and the decoder.
extern "C" {
int WebJpegSize(const char* path, std::int32_t* width, std::int32_t* height);
int WebJpegDecode(const char* path, unsigned char* pixels, std::int32_t width, std::int32_t height,
                  std::int32_t channels);
}

std::int32_t DecodeJpegFile(JpegRequest& request)
{
    if (!request.wholeImage)
        return WebJpegSize(request.path, &request.imageWidth, &request.imageHeight);
    return WebJpegDecode(request.path, request.pixels, request.width, request.height,
                         request.channels);
}
