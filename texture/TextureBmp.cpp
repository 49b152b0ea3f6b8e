#include <cstdlib>

#include "texture/BmpFile.h"
#include "texture/Texture.h"
#include "texture/TextureGl.h"

bool Texture::LoadBMP(const char* path)
{
    Prepare(path);

    BmpImage image;
    const BmpResult result = ReadBmpFile(path, &image);
    if (image.width > 0) {  // the headers were accepted, even if the pixels came up short
        width = image.width;
        height = image.height;
    }
    if (result != BmpResult::kOk) {
        return false;
    }

    // The BMP row layout: each row starts on a multiple of 4 bytes.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, width, height, GL_BGR_EXT, GL_UNSIGNED_BYTE, image.pixels);
    std::free(image.pixels);
    return true;
}
