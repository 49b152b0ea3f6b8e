#pragma once

// What the web build's GL (Emscripten's legacy emulation over WebGL 1)
// lacks of the OpenGL 1.1 and GLU calls the texture and the renderer make,
// drawn with what it has. The build includes this header before every source
// of those two libraries, so their code stays as it is.
//
// - Quad strips are drawn as triangle strips of the same vertices: quad k
//   (v2k, v2k+1, v2k+3, v2k+2) becomes the triangles (v2k, v2k+1, v2k+2) and
//   (v2k+2, v2k+1, v2k+3), which cover the same convex quad with the same
//   winding, so culling keeps or drops the same faces.
// - The client attribute stack keeps the pixel-store state WebGL has: the
//   unpack alignment. Row length and skips exist only at 0, their default.
// - gluBuild2DMipmaps scales to a power of two as GLU does and box-filters
//   each level onto glTexImage2D.

#include "platform/Win32Types.h"  // before GL's headers, as <windows.h> would be

#include <GL/gl.h>
#include <GL/glu.h>

void BeginPrimitiveWeb(GLenum mode);
void PushClientAttribWeb(GLbitfield mask);
void PopClientAttribWeb();
void PixelStoreWeb(GLenum name, GLint value);
GLint Build2DMipmapsWeb(GLenum target, GLint components, GLsizei width, GLsizei height,
                        GLenum format, GLenum type, const void* pixels);

#define glBegin(mode) BeginPrimitiveWeb(mode)
#define glPushClientAttrib(mask) PushClientAttribWeb(mask)
#define glPopClientAttrib() PopClientAttribWeb()
#define glPixelStorei(name, value) PixelStoreWeb(name, value)
#define gluBuild2DMipmaps(target, components, width, height, format, type, pixels) \
    Build2DMipmapsWeb(target, components, width, height, format, type, pixels)
