#include "GlCallLog.h"

#include <algorithm>

#include <GL/glu.h>

std::vector<GlCall>& GlCallLog()
{
    static std::vector<GlCall> log;
    return log;
}

int CountGlCalls(GlCall::Kind kind)
{
    const auto& log = GlCallLog();
    return static_cast<int>(
        std::count_if(log.begin(), log.end(), [kind](const GlCall& c) { return c.kind == kind; }));
}

testing::AssertionResult HasOneUpload(GLint components, GLsizei width, GLsizei height,
                                      GLenum format)
{
    const int uploads = CountGlCalls(GlCall::kBuildMipmaps);
    if (uploads != 1) {
        return testing::AssertionFailure() << uploads << " uploads, not one";
    }
    const GlCall& upload = GlCallLog().back();
    if (upload.components != components || upload.width != width || upload.height != height ||
        upload.format != format) {
        return testing::AssertionFailure()
               << "the upload was " << upload.components << " components, " << upload.width << " x "
               << upload.height << ", format 0x" << std::hex << upload.format;
    }
    return testing::AssertionSuccess();
}

extern "C" {

void __real_glGenTextures(GLsizei count, GLuint* names);
void __real_glDeleteTextures(GLsizei count, const GLuint* names);
GLint __real_gluBuild2DMipmaps(GLenum target, GLint components, GLsizei width, GLsizei height,
                               GLenum format, GLenum type, const void* data);

void __wrap_glGenTextures(GLsizei count, GLuint* names)
{
    __real_glGenTextures(count, names);
    for (GLsizei i = 0; i < count; ++i) {
        GlCall call{GlCall::kGenTexture};
        call.name = names[i];
        GlCallLog().push_back(call);
    }
}

void __wrap_glDeleteTextures(GLsizei count, const GLuint* names)
{
    for (GLsizei i = 0; i < count; ++i) {
        GlCall call{GlCall::kDeleteTexture};
        call.name = names[i];
        GlCallLog().push_back(call);
    }
    __real_glDeleteTextures(count, names);
}

GLint __wrap_gluBuild2DMipmaps(GLenum target, GLint components, GLsizei width, GLsizei height,
                               GLenum format, GLenum type, const void* data)
{
    GlCall call{GlCall::kBuildMipmaps};
    call.components = components;
    call.width = width;
    call.height = height;
    call.format = format;
    GlCallLog().push_back(call);
    return __real_gluBuild2DMipmaps(target, components, width, height, format, type, data);
}

}  // extern "C"
