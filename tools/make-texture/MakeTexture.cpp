// Paints the tunnel's texture and writes it as a JPEG file:
//   make-texture assets/Demo.jpg
// Same program, same libjpeg-turbo: the same bytes every time.
#include <cstdio>

#include "JpegWriter.h"
#include "PaintTexture.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.jpg\n", argv[0]);
        return 2;
    }
    const std::vector<unsigned char> pixels = PaintTexture();
    JpegWriteOptions options;
    options.quality = 92;
    options.fullChroma = true;  // keeps the thin glowing lines crisp
    if (!WriteJpegFile(argv[1], pixels.data(), kTextureSize, kTextureSize, 3, options)) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
