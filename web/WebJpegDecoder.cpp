// The JPEG adapter's decoder in the web build, through the browser's own
// image decoder, as the Windows build uses its Imaging Component;
// JpegAdapter.cpp holds the record and checks each read. The file is fetched
// from the page's folder; the size read takes the frame header's size
// without decoding, so a file that declares more than the cap is refused
// before anything is decoded.

#include "jpeg/JpegAdapter.h"
#include "jpeg/JpegRequest.h"

#include <cstdint>

// The page's side (WebBackend.js). The failures it can answer are named
// here once; both reads wait for the fetch and the decoder.
extern "C" {
void WebJpegStatusCodes(std::int32_t notFetched, std::int32_t wrongSize, std::int32_t notDecodable);
int WebJpegSize(const char* path, std::int32_t* width, std::int32_t* height);
int WebJpegDecode(const char* path, unsigned char* pixels, std::int32_t width, std::int32_t height,
                  std::int32_t channels);
}

std::int32_t DecodeJpegFile(JpegRequest& request)
{
    WebJpegStatusCodes(kJpegErrOpenFile, kJpegErrBadOutput, kJpegErrDecode);
    if (!request.wholeImage)
        return WebJpegSize(request.path, &request.imageWidth, &request.imageHeight);
    return WebJpegDecode(request.path, request.pixels, request.width, request.height,
                         request.channels);
}
