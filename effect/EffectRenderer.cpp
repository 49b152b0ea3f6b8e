#include "effect/EffectRenderer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "effect/EffectState.h"
#include "effect/RingTable.h"
#include "effect/TunnelBuilder.h"
#include "platform/Win32.h"
#include "texture/Texture.h"
#include "texture/TextureLocation.h"

#include <GL/glu.h>

double g_travelCarry = 0.0;

namespace {

constexpr char kTitle[] = "Zelk's little tunnel";
constexpr char kTextureFile[] = "Demo.jpg";
constexpr double kFourThirds = 4.0 / 3.0;
constexpr float kInitialSpeed = 8000.0f;
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
    std::snprintf(text, sizeof text, "%s - %g fps (%d tri)", kTitle,
                  static_cast<double>(g_frameCount) / elapsed,
                  pairs * kTrianglesPerRingPair / g_polyStep);
    SetWindowTextA(g_hwnd, text);
    g_lastRateTime = g_time;
    g_frameCount = 0;
}

double FloatSpacingAbove(float value)
{
    return static_cast<double>(std::nextafter(value, std::numeric_limits<float>::infinity())) -
           static_cast<double>(value);
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

std::int32_t AdvanceTravel()
{
    double step = static_cast<double>(g_deltaTime) * static_cast<double>(g_speed);
    if (!(step > 0.0)) {
        step = 0.0;  // not a number, or backwards: the ring cache needs a travel that never falls
    } else if (step > kMaxTravelStep) {
        step = kMaxTravelStep;
    }

    const float before = g_travel;
    // With no carry this is exactly delta * speed + travel.
    const double due = step + g_travelCarry;
    double sum = due + static_cast<double>(before);
    double from = before;
    if (sum >= kTravelRebaseThreshold) {
        sum -= kTravelRebaseShift;
        from -= kTravelRebaseShift;
        // Far below the base every index is unbuilt alike; -1 keeps it from underflowing
        // when the tunnel ran out long ago and the window stays open.
        g_lastBuiltRing = std::max(g_lastBuiltRing - kTravelRebaseRings, -1);
    }
    g_travel = static_cast<float>(sum);
    if (step < kCarryBelowSpacings * FloatSpacingAbove(g_travel)) {
        g_travelCarry = due - (static_cast<double>(g_travel) - from);
    } else {
        g_travelCarry = 0.0;
    }
    // g_travel only ever holds what this function stored, so sum is below
    // 2^24 + 2^22 before the rebase and below 2^24 after it: always defined.
    return static_cast<std::int32_t>(static_cast<std::int64_t>(sum));
}

bool InitEffect()
{
    float aspect = static_cast<float>(kFourThirds);  // a window not yet sized: as if 640 x 480
    ClientAspect(aspect);
    ApplyProjection(aspect);
    g_lastAspect = aspect;

    // The current folder's file, else the installed one; else its own pattern.
    g_tunnelTexture.LoadJPEG(TextureFileToLoad(kTextureFile, RunningExecutable()).c_str(), false);
    glEnable(GL_TEXTURE_2D);
    g_tunnelTexture.Bind();

    glCullFace(GL_FRONT);
    glEnable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);

    g_travel = 0.0f;
    g_travelCarry = 0.0;
    g_speed = kInitialSpeed;
    InitCrossSection();
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

void ShutdownEffect()
{
}
