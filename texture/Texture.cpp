#include "texture/Texture.h"

#include <cstring>

#include "texture/TextureGl.h"

Texture g_tunnelTexture;

// Every field starts cleared, also for instances outside static storage, so
// that width and height never hold garbage before the first load.
Texture::Texture() : fileName{}, glNamePlusOne(0), width(0), height(0) {}

Texture::~Texture()
{
    Release();
}

void Texture::Release()
{
    if (glNamePlusOne == 0) {
        return;
    }
    const GLuint name = glNamePlusOne - 1;
    glDeleteTextures(1, &name);
    glNamePlusOne = 0;
}

bool Texture::Prepare(const char* path)
{
    Release();

    // Longer names are cut to fit; the loaders still open the full path.
    std::size_t length = 0;
    if (path != nullptr) {
        while (length < sizeof fileName - 1 && path[length] != '\0') {
            ++length;
        }
        std::memcpy(fileName, path, length);
    }
    fileName[length] = '\0';

    GLuint name = 0;
    glGenTextures(1, &name);
    glNamePlusOne = name + 1;
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLfloat>(GL_REPEAT));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLfloat>(GL_REPEAT));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLfloat>(GL_LINEAR));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                    static_cast<GLfloat>(GL_LINEAR_MIPMAP_NEAREST));
    return true;
}

void Texture::Bind()
{
    // An empty object binds the default texture rather than making up a
    // texture named 0xFFFFFFFF.
    glBindTexture(GL_TEXTURE_2D, glNamePlusOne == 0 ? 0 : glNamePlusOne - 1);
}
