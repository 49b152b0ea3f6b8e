#include "effect/EffectRenderer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "effect/EffectState.h"
#include "effect/RingTable.h"
#include "effect/Travel.h"
#include "effect/TunnelBuilder.h"
#include "look/LookSettings.h"
#include "platform/Win32.h"
#include "texture/Texture.h"
#include "texture/TextureLocation.h"

#include <GL/glu.h>

namespace {

constexpr char kTextureFile[] = "Demo.jpg";
constexpr double kFourThirds = 4.0 / 3.0;
constexpr int kTrianglesPerRingPair = 128;  // at g_polyStep 1

// The aspect of the client area, rounded to a float as the projection rule
// compares it. False for an area without width or height (a minimised
// window): its aspect is infinite or not a number, and a not-a-number
// g_lastAspect would never again compare unequal to anything.
bool ClientAspect(float& aspect)
{
    if (g_clientWidth <= 0 || g_clientHeight <= 0) {
        return false;
    }
    aspect = static_cast<float>(static_cast<double>(g_clientWidth) /
                                static_cast<double>(g_clientHeight));
    return true;
}

// Always shows -4/3..4/3 across and -1..1 up with square pixels, widened for
// wide windows and heightened for tall ones.
void ApplyProjection(float aspect)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (aspect > kFourThirds) {
        gluOrtho2D(-aspect, aspect, -1.0, 1.0);
    } else {
        gluOrtho2D(-kFourThirds, kFourThirds, -kFourThirds / aspect, kFourThirds / aspect);
    }
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

float Brightness(float depth)
{
    double q = 1.0 / (static_cast<double>(depth) * 0.25 + 0.1);
    if (q > 1.0) {
        q = 1.0;
    }
    return static_cast<float>(q);
}

void ShowRate()
{
    if (!g_lastRateTimeSet) {
        g_lastRateTime = g_time;
        g_lastRateTimeSet = true;
    }
    const double elapsed = static_cast<double>(g_time) - static_cast<double>(g_lastRateTime);
    if (!(elapsed >= 1.0)) {
        return;
    }
    // g_ringCount is still last frame's. A frame after the close request may
    // have none at all: show no triangles then rather than a negative count.
    const int pairs = std::max(g_ringCount - 1, 0);
    char text[256];
    std::snprintf(text, sizeof text, "%s - %g fps (%d tri)", kWindowTitle,
                  static_cast<double>(g_frameCount) / elapsed,
                  pairs * kTrianglesPerRingPair / g_polyStep);
    SetWindowTextA(g_hwnd, text);
    g_lastRateTime = g_time;
    g_frameCount = 0;
}

// Far to near, without a depth buffer: nearer rings paint over farther ones.
void DrawTunnel()
{
    const int step = g_polyStep;
    for (int p = g_ringCount - 2; p >= 0; --p) {
        const float nearBrightness = Brightness(g_ringDepth[p]);
        const float farBrightness = Brightness(g_ringDepth[p + 1]);
        const StripVertex* nearRow = g_strip[p];
        const StripVertex* farRow = g_strip[p + 1];
        glBegin(GL_QUAD_STRIP);
        for (int q = 0; q <= kRingPoints; q += step) {
            glColor3f(nearBrightness, nearBrightness, nearBrightness);
            glTexCoord2f(nearRow[q].u, nearRow[q].v);
            glVertex2f(nearRow[q].x, nearRow[q].y);
            glColor3f(farBrightness, farBrightness, farBrightness);
            glTexCoord2f(farRow[q].u, farRow[q].v);
            glVertex2f(farRow[q].x, farRow[q].y);
        }
        glEnd();
    }
}

}  // namespace

bool InitEffect()
{
    float aspect = static_cast<float>(kFourThirds);  // a window not yet sized: as if 640 x 480
    ClientAspect(aspect);
    ApplyProjection(aspect);
    g_lastAspect = aspect;

    // The viewer's picture when there is one. Else the current folder's file,
    // else the installed one; else its own pattern.
    if (!g_look.picture.empty()) {
        g_tunnelTexture.LoadPicture(g_look.picture.c_str());
    } else {
        g_tunnelTexture.LoadJPEG(TextureFileToLoad(kTextureFile, RunningExecutable()).c_str(),
                                 false);
    }
    glEnable(GL_TEXTURE_2D);
    g_tunnelTexture.Bind();

    glCullFace(GL_FRONT);
    glEnable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);

    ResetFlight();
    return true;
}

void RenderFrame()
{
    float aspect = 0.0f;
    if (ClientAspect(aspect) && aspect != g_lastAspect) {
        ApplyProjection(aspect);
        g_lastAspect = aspect;
    }

    ShowRate();

    BuildTunnel(AdvanceTravel());

    if (g_ringCount == 0) {
        if (g_stopRequested) {
            PostMessageA(g_hwnd, WM_CLOSE, 0, 0);
        }
        return;  // neither cleared, drawn nor counted
    }

    glClear(GL_COLOR_BUFFER_BIT);
    DrawTunnel();
    ++g_frameCount;
}

void ShutdownEffect() {}
