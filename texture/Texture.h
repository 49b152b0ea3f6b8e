#pragma once

#include <cstdint>

// Owns at most one GL texture on GL_TEXTURE_2D and fills it, with all mipmap
// levels, from a JPEG or a BMP file, or the viewer's picture. Needs a current GL context for everything
// but construction.
class Texture {
public:
    Texture();
    ~Texture();
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    void Release();
    bool Prepare(const char* path);
    void Bind();
    bool LoadJPEG(const char* path, bool grayscale);
    bool LoadBMP(const char* path);
    // The viewer's picture (PictureFile.h, PictureChoice.h): a file of any
    // format the reader knows, or one picked from a folder, scaled down
    // (PictureScale.h) and always top row first. Else the checker, and one
    // line on stderr naming the file and the reason.
    bool LoadPicture(const char* path);

    char fileName[64];
    std::uint32_t glNamePlusOne;  // GL name + 1; 0 when no texture is held
    std::int32_t width;
    std::int32_t height;
};

extern Texture g_tunnelTexture;
