#include "GlContext.h"

#include <cstdio>

#include <GL/gl.h>

namespace {

bool g_rendererLogged = false;

}  // namespace

bool GlContext::Create(int width, int height)
{
    if (!gl_.Create(width, height)) {
        return false;
    }
    if (!g_rendererLogged) {
        g_rendererLogged = true;
        const GLubyte* renderer = glGetString(GL_RENDERER);
        const GLubyte* version = glGetString(GL_VERSION);
        std::printf("GL renderer: %s, version %s\n",
                    renderer ? reinterpret_cast<const char*>(renderer) : "?",
                    version ? reinterpret_cast<const char*>(version) : "?");
        std::fflush(stdout);
    }
    return true;
}
