#include "overlay/RateBox.h"

#if defined(_WIN32)
#include <windows.h>  // before GL/gl.h, which needs its calling conventions
#endif
#include <GL/gl.h>

namespace {

constexpr int kMargin = 8;   // from the window's edges to the box
constexpr int kPadding = 4;  // from the box's edges to the text

}  // namespace

void DrawRateBox(const RateBoxText& text)
{
    const int boxWidth = text.width + 2 * kPadding;
    const int boxHeight = text.height + 2 * kPadding;

    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, viewport[2], 0.0, viewport[3], -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_FOG);
    glDisable(GL_LIGHTING);
    glColor3f(0.08f, 0.08f, 0.1f);
    glRecti(kMargin, kMargin, kMargin + boxWidth, kMargin + boxHeight);
    // The raster colour is taken at glRasterPos.
    glColor3f(1.0f, 1.0f, 0.9f);
    glRasterPos2i(kMargin + kPadding, kMargin + kPadding + text.descent);
    glListBase(text.listBase);
    glCallLists(text.length, GL_UNSIGNED_BYTE, text.text);

    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();  // the matrix mode, capabilities, colours and list base
}

void MakeBlankSpaceList(unsigned list, int advance)
{
    static const GLubyte kBlank[4] = {};
    glNewList(list, GL_COMPILE);
    glBitmap(1, 1, 0.0f, 0.0f, static_cast<GLfloat>(advance), 0.0f, kBlank);
    glEndList();
}
