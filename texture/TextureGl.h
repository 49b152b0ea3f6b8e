#pragma once

// GL and GLU headers for the texture units; <windows.h> must come first there.
#include "platform/Win32Types.h"

#include <GL/gl.h>
#include <GL/glu.h>

#ifndef GL_BGR_EXT
#define GL_BGR_EXT 0x80E0
#endif
