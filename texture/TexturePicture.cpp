#include <cstdio>
#include <string>

#include "texture/PictureChoice.h"
#include "texture/PictureFile.h"
#include "texture/PictureScale.h"
#include "texture/Texture.h"
#include "texture/TextureGl.h"

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
