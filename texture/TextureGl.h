#pragma once

// GL and GLU headers for the texture units, and what their uploads share;
// <windows.h> must come first there.
#include "platform/Win32Types.h"

#include <GL/gl.h>
#include <GL/glu.h>

#ifndef GL_BGR_EXT
#define GL_BGR_EXT 0x80E0
#endif

// Two rows of two grey texels: a black and white checker, for a picture
// that cannot be read.
inline constexpr unsigned char kFallbackPattern[4] = {0x00, 0xFF, 0xFF, 0x00};

// These rows are width x channels bytes with nothing between them, which the
// GL's default 4-byte row alignment would misread; the caller's unpack state
// is put back afterwards.
inline void UploadTightRows(GLint components, GLsizei width, GLsizei height, GLenum format,
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
