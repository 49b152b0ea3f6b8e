#include <cstdio>
#include <string>

#include "texture/PictureChoice.h"
#include "texture/PictureFile.h"
#include "texture/PictureScale.h"
#include "texture/Texture.h"
#include "texture/TextureGl.h"

namespace {

const unsigned char kFallbackPattern[4] = {0x00, 0xFF, 0xFF, 0x00};

void UploadTightRows(GLint components, GLsizei width, GLsizei height, GLenum format,
                     const unsigned char* pixels)
{
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    gluBuild2DMipmaps(GL_TEXTURE_2D, components, width, height, format, GL_UNSIGNED_BYTE, pixels);
    glPopClientAttrib();
}

}  // namespace

bool Texture::LoadPicture(const char* path)
{
    std::string file = path != nullptr ? path : "";
    std::string reason;
    PictureImage image;
    bool ok = ChoosePictureFile(file, PictureRandomValue(), &file, &reason) &&
              ReadPictureFile(file.c_str(), &image, &reason);
    if (ok && !ScalePictureDown(&image, kPictureMaxSide)) {
        reason = "out of memory";
        ok = false;
    }
    Prepare(file.c_str());
    if (ok) {
        width = image.width;
        height = image.height;
        UploadTightRows(3, width, height, GL_RGB, image.rgb.get());
    } else {
        std::fprintf(stderr, "zelk-tunnel: cannot show the picture %s: %s\n", file.c_str(),
                     reason.c_str());
        width = 2;
        height = 2;
        UploadTightRows(1, 2, 2, GL_LUMINANCE, kFallbackPattern);
    }
    return ok;
}
