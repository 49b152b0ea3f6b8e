#pragma once

#include <vector>

#include <GL/gl.h>
#include <gtest/gtest.h>

// The texture's GL calls that readback cannot show (which names were made or
// deleted, in what order, and what each upload was asked for). The test
// binary links with -Wl,--wrap for these functions, so each call is recorded
// and then passed on to the real GL unchanged.
struct GlCall {
    enum Kind { kGenTexture, kDeleteTexture, kBuildMipmaps } kind;
    GLuint name = 0;       // kGenTexture, kDeleteTexture
    GLint components = 0;  // kBuildMipmaps
    GLsizei width = 0;
    GLsizei height = 0;
    GLenum format = 0;
};

std::vector<GlCall>& GlCallLog();
int CountGlCalls(GlCall::Kind kind);

// Success when the log holds exactly one upload, asked for with these
// components, size and format; else what it holds instead.
testing::AssertionResult HasOneUpload(GLint components, GLsizei width, GLsizei height,
                                      GLenum format);
