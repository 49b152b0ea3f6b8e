#include "effect/EffectRenderer.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "FloatBits.h"
#include "GlContext.h"
#include "PixelProbe.h"
#include "effect/EffectState.h"
#include "effect/TunnelBuilder.h"
#include "scripted/ScriptedBackend.h"
#include "texture/Texture.h"

#include <GL/glu.h>

// The renderer on real GL (Mesa, offscreen): pixels are probed with a
// tolerance, the way GL conformance suites probe, at places computed from
// the builder's output and the projection the window's shape calls for.

namespace {

const HWND kWindow = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x5150));
constexpr double kFrameStep = 1.0 / 60.0;

double Brightness(double depth)
{
    return std::fmin(1.0, 1.0 / (depth * 0.25 + 0.1));
}

using FrameImage = FramePixels;

// The visible region the projection must show for a client area: at least
// -4/3..4/3 by -1..1, widened or heightened to keep pixels square.
struct Bounds {
    double left, right, bottom, top;

    static Bounds For(int width, int height)
    {
        const float aspect = static_cast<float>(static_cast<double>(width) / height);
        if (aspect > 4.0 / 3.0) {
            return {-aspect, aspect, -1.0, 1.0};
        }
        return {-4.0 / 3.0, 4.0 / 3.0, (-4.0 / 3.0) / aspect, (4.0 / 3.0) / aspect};
    }
};

struct PixelPos {
    int x, y;
};

PixelPos ToPixel(const Bounds& bounds, int width, int height, double x, double y)
{
    return {
        static_cast<int>(std::floor((x - bounds.left) / (bounds.right - bounds.left) * width)),
        static_cast<int>(std::floor((y - bounds.bottom) / (bounds.top - bounds.bottom) * height))};
}

// Probes a grey level (0..1, between low and high) with a tolerance of a few
// levels for the rasteriser's rounding, and says what it saw.
::testing::AssertionResult ProbeGrey(const FrameImage& image, PixelPos at, double low, double high)
{
    if (!image.Contains(at.x, at.y)) {
        return ::testing::AssertionFailure()
               << "probe at (" << at.x << ", " << at.y << ") is off the frame";
    }
    const Rgb seen = image.At(at.x, at.y);
    const double tolerance = 3.0;
    const bool grey = std::abs(seen.r - seen.g) <= 1 && std::abs(seen.g - seen.b) <= 1;
    const bool inside = seen.g >= low * 255.0 - tolerance && seen.g <= high * 255.0 + tolerance;
    if (grey && inside) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "probe at (" << at.x << ", " << at.y << "): expected grey " << low * 255.0 << " .. "
           << high * 255.0 << " (+-" << tolerance << "), observed rgb(" << seen.r << ", " << seen.g
           << ", " << seen.b << ")";
}

// The middle of the quad between rings p and p + 1 and entries q and q + step.
void QuadCentre(int p, int q, int step, double* x, double* y)
{
    const StripVertex& a = g_strip[p][q];
    const StripVertex& b = g_strip[p][q + step];
    const StripVertex& c = g_strip[p + 1][q];
    const StripVertex& d = g_strip[p + 1][q + step];
    *x = (static_cast<double>(a.x) + b.x + c.x + d.x) / 4.0;
    *y = (static_cast<double>(a.y) + b.y + c.y + d.y) / 4.0;
}

// Replaces the tunnel texture's image (keeping its name and filters) by a
// 2 x 2 one, leaving bound whatever was bound.
void ReplaceTunnelImage(const unsigned char rgb[12])
{
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glBindTexture(GL_TEXTURE_2D, g_tunnelTexture.glNamePlusOne - 1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGB, 2, 2, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
}

void UseWhiteTexture()
{
    const unsigned char white[12] = {255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255};
    ReplaceTunnelImage(white);
}

// Sets the clock for frame n of a steady run (frame 0 at time 0, as if
// set-up took no time) and draws it.
void RenderFrameAt(int n, double step = kFrameStep)
{
    g_time = static_cast<float>(n * step);
    g_deltaTime = n == 0 ? 0.0f : static_cast<float>(step);
    RenderFrame();
}

struct Triangle {
    double ax, ay, bx, by, cx, cy;
    double ga, gb, gc;  // grey at each corner: the brightness of its ring

    double Area2() const { return (bx - ax) * (cy - ay) - (by - ay) * (cx - ax); }

    // Clockwise on screen (y up) counts as inside; the GL culls the rest.
    bool Contains(double x, double y) const
    {
        const double e1 = (bx - ax) * (y - ay) - (by - ay) * (x - ax);
        const double e2 = (cx - bx) * (y - by) - (cy - by) * (x - bx);
        const double e3 = (ax - cx) * (y - cy) - (ay - cy) * (x - cx);
        return e1 <= 0.0 && e2 <= 0.0 && e3 <= 0.0;
    }

    // Smooth shading: the corners' greys, weighted by where the point lies.
    double GreyAt(double x, double y) const
    {
        const double area = Area2();
        const double wa = ((bx - x) * (cy - y) - (by - y) * (cx - x)) / area;
        const double wb = ((cx - x) * (ay - y) - (cy - y) * (ax - x)) / area;
        return wa * ga + wb * gb + (1.0 - wa - wb) * gc;
    }
};

// What the frame must show, from the builder's output alone: each ring pair
// p is a strip of quads (near q, far q, far q + step, near q + step), of
// which only the clockwise triangles are drawn (front faces are culled);
// nearer pairs paint over farther ones; the grey runs smoothly from the near
// ring's brightness to the far ring's.
class FrameModel {
public:
    static FrameModel FromBuilder()
    {
        FrameModel model;
        const int step = g_polyStep;
        for (int p = 0; p + 1 < g_ringCount; ++p) {
            const double nearGrey = Brightness(g_ringDepth[p]);
            const double farGrey = Brightness(g_ringDepth[p + 1]);
            std::vector<Triangle> drawn;
            for (int q = 0; q + step <= kRingPoints; q += step) {
                const StripVertex& a = g_strip[p][q];
                const StripVertex& b = g_strip[p + 1][q];
                const StripVertex& c = g_strip[p + 1][q + step];
                const StripVertex& d = g_strip[p][q + step];
                const Triangle halves[] = {
                    {a.x, a.y, b.x, b.y, c.x, c.y, nearGrey, farGrey, farGrey},
                    {a.x, a.y, c.x, c.y, d.x, d.y, nearGrey, farGrey, nearGrey}};
                for (const Triangle& t : halves) {
                    if (t.Area2() < 0.0) {
                        drawn.push_back(t);
                    }
                }
            }
            model.pairs_.push_back(drawn);
        }
        return model;
    }

    // The triangle in front at a screen point, with its ring pair; null
    // where only the clear colour shows.
    const Triangle* Front(double x, double y, int* pair) const
    {
        for (std::size_t p = 0; p < pairs_.size(); ++p) {
            for (const Triangle& t : pairs_[p]) {
                if (t.Contains(x, y)) {
                    *pair = static_cast<int>(p);
                    return &t;
                }
            }
        }
        *pair = -1;
        return nullptr;
    }

    const std::vector<Triangle>& Triangles(int p) const
    {
        return pairs_[static_cast<std::size_t>(p)];
    }

private:
    std::vector<std::vector<Triangle>> pairs_;
};

struct ProbeTally {
    int probes = 0;
    int blackProbes = 0;
    int mismatches = 0;
    int pairsSeen = 0;
    std::vector<bool> seen;
};

// Probes the pixel at a screen point against the model: the grey the model
// gives at the pixel's centre, or black. Points with another front triangle
// 1.5 pixels away lie on an edge and are skipped; so are points where the
// model's front pair is not `onlyPair` (when that is not -2).
void ProbeAt(const FrameImage& image, const Bounds& bounds, const FrameModel& model, double x,
             double y, int onlyPair, ProbeTally* tally)
{
    const double pixelX = (bounds.right - bounds.left) / image.Width();
    const double pixelY = (bounds.top - bounds.bottom) / image.Height();
    const PixelPos at = ToPixel(bounds, image.Width(), image.Height(), x, y);
    if (!image.Contains(at.x, at.y)) {
        return;
    }
    // The pixel's centre, where the GL samples.
    const double cx = bounds.left + (at.x + 0.5) * pixelX;
    const double cy = bounds.bottom + (at.y + 0.5) * pixelY;
    int front = -1;
    const Triangle* triangle = model.Front(cx, cy, &front);
    if (onlyPair != -2 && front != onlyPair) {
        return;
    }
    const double offsets[][2] = {{-1.5, 0.0}, {1.5, 0.0}, {0.0, -1.5}, {0.0, 1.5}};
    for (const auto& o : offsets) {
        int neighbour = -1;
        if (model.Front(cx + o[0] * pixelX, cy + o[1] * pixelY, &neighbour) != triangle) {
            return;
        }
    }
    ++tally->probes;
    ::testing::AssertionResult result = ::testing::AssertionSuccess();
    if (triangle == nullptr) {
        ++tally->blackProbes;
        const Rgb seen = image.At(at.x, at.y);
        if (seen.r != 0 || seen.g != 0 || seen.b != 0) {
            result = ::testing::AssertionFailure()
                     << "probe at (" << at.x << ", " << at.y << "): expected black, observed rgb("
                     << seen.r << ", " << seen.g << ", " << seen.b << ")";
        }
    } else {
        const double grey = triangle->GreyAt(cx, cy);
        result = ProbeGrey(image, at, grey, grey);
        result << " (rings " << front << ", " << front + 1 << ")";
        if (tally->seen.size() <= static_cast<std::size_t>(front)) {
            tally->seen.resize(static_cast<std::size_t>(front) + 1, false);
        }
        if (!tally->seen[static_cast<std::size_t>(front)]) {
            tally->seen[static_cast<std::size_t>(front)] = true;
            ++tally->pairsSeen;
        }
    }
    if (!result && ++tally->mismatches <= 5) {
        ADD_FAILURE() << result.message();
    }
}

ProbeTally ProbeGrid(const FrameImage& image, const Bounds& bounds, const FrameModel& model,
                     int spacing)
{
    ProbeTally tally;
    const double pixelX = (bounds.right - bounds.left) / image.Width();
    const double pixelY = (bounds.top - bounds.bottom) / image.Height();
    for (int py = spacing / 2; py < image.Height(); py += spacing) {
        for (int px = spacing / 2; px < image.Width(); px += spacing) {
            ProbeAt(image, bounds, model, bounds.left + (px + 0.5) * pixelX,
                    bounds.bottom + (py + 0.5) * pixelY, -2, &tally);
        }
    }
    return tally;
}

template <int Width, int Height>
class RendererAt : public GlTestAt<Width, Height> {
protected:
    void SetUp() override
    {
        GlTestAt<Width, Height>::SetUp();
        if (this->IsSkipped() || this->HasFatalFailure()) {
            return;
        }
        ResetEffectStateToLoadValues();
        ScriptedReset();
        g_hwnd = kWindow;
        g_clientWidth = Width;
        g_clientHeight = Height;
        ASSERT_TRUE(InitEffect());
    }

    FrameImage Read() const { return FrameImage::Read(Width, Height); }
    PixelPos Pixel(double x, double y) const
    {
        return ToPixel(Bounds::For(Width, Height), Width, Height, x, y);
    }
};

using Renderer640x480Test = RendererAt<640, 480>;
using Renderer800x300Test = RendererAt<800, 300>;
using Renderer300x400Test = RendererAt<300, 400>;

void ExpectProjection(const Bounds& want)
{
    GLdouble m[16] = {};
    glGetDoublev(GL_PROJECTION_MATRIX, m);
    // GL keeps its matrices in single precision.
    const double tolerance = 1e-6;
    EXPECT_NEAR(2.0 / (want.right - want.left), m[0], tolerance);
    EXPECT_NEAR(2.0 / (want.top - want.bottom), m[5], tolerance);
    EXPECT_NEAR(-(want.right + want.left) / (want.right - want.left), m[12], tolerance);
    EXPECT_NEAR(-(want.top + want.bottom) / (want.top - want.bottom), m[13], tolerance);
    EXPECT_EQ(0.0, m[1]);
    EXPECT_EQ(0.0, m[4]);
}

TEST_F(Renderer640x480Test, SetUpLeavesTexturingCullingAndTheProjectionInPlace)
{
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    GLint cullFace = 0;
    glGetIntegerv(GL_CULL_FACE_MODE, &cullFace);
    EXPECT_EQ(GL_FRONT, cullFace);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    ASSERT_NE(0u, g_tunnelTexture.glNamePlusOne);
    EXPECT_EQ(static_cast<GLint>(g_tunnelTexture.glNamePlusOne - 1), bound);
    GLint matrixMode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
    EXPECT_EQ(GL_MODELVIEW, matrixMode);

    // 4:3 exactly rounds above the double 4/3, so it takes the wide rule.
    EXPECT_SAME_FLOAT(static_cast<float>(4.0 / 3.0), g_lastAspect);
    ExpectProjection(Bounds::For(640, 480));
    EXPECT_SAME_FLOAT(8000.0f, g_speed);
    EXPECT_SAME_FLOAT(0.0f, g_travel);
    EXPECT_EQ(1, g_polyStep);
    EXPECT_EQ(-1, g_lastBuiltRing);
}

// Catches strips culled away (wrong winding), brightness running the wrong
// way and geometry landing in the wrong place: every probe of a 20-pixel
// grid shows what the model of the builder's strips says.
TEST_F(Renderer640x480Test, FirstFrameMatchesTheStripsShadedByDepth)
{
    UseWhiteTexture();
    RenderFrameAt(0);
    ASSERT_EQ(38, g_ringCount);  // travel 0, the plain shape
    const ProbeTally tally =
        ProbeGrid(Read(), Bounds::For(640, 480), FrameModel::FromBuilder(), 20);
    EXPECT_EQ(0, tally.mismatches);
    EXPECT_GT(tally.probes, 300);
    EXPECT_GE(tally.pairsSeen, 12);  // near, bright pairs down to dim ones
}

// The far end of the tunnel shows where the builder puts it: past the bend,
// the farthest ring pairs that the model says are visible are there, as dim
// as their depth says. A mirrored or shifted picture shows nearer, brighter
// walls at those places.
TEST_F(Renderer640x480Test, TheFarEndIsWhereTheBuilderPutsIt)
{
    UseWhiteTexture();
    for (int n = 0; n <= 90; ++n) {  // 1.5 s in, the tunnel bends away
        RenderFrameAt(n);
    }
    const FrameModel model = FrameModel::FromBuilder();
    const FrameImage image = Read();
    const Bounds bounds = Bounds::For(640, 480);
    ProbeTally tally;
    int farthestVisible = -1;
    for (int p = g_ringCount - 2; p >= 0 && (farthestVisible < 0 || p > farthestVisible - 5); --p) {
        const int before = tally.probes;
        for (const Triangle& t : model.Triangles(p)) {
            ProbeAt(image, bounds, model, (t.ax + t.bx + t.cx) / 3.0, (t.ay + t.by + t.cy) / 3.0, p,
                    &tally);
        }
        if (farthestVisible < 0 && tally.probes - before >= 5) {
            farthestVisible = p;
        }
    }
    ASSERT_GE(farthestVisible, 0);
    EXPECT_GT(g_ringDepth[farthestVisible], 25.0f) << "the far end should be deep in the tunnel";
    EXPECT_EQ(0, tally.mismatches);
    EXPECT_GE(tally.probes, 30);
    EXPECT_EQ(0, ProbeGrid(image, bounds, model, 20).mismatches);
}

TEST_F(Renderer800x300Test, WideWindowWidensTheViewAndDrawsThere)
{
    UseWhiteTexture();
    RenderFrameAt(0);
    ExpectProjection(Bounds::For(800, 300));
    EXPECT_SAME_FLOAT(static_cast<float>(8.0 / 3.0), g_lastAspect);
    const ProbeTally tally =
        ProbeGrid(Read(), Bounds::For(800, 300), FrameModel::FromBuilder(), 20);
    EXPECT_EQ(0, tally.mismatches);
    EXPECT_GT(tally.probes, 300);
}

TEST_F(Renderer300x400Test, TallWindowHeightensTheViewAndDrawsThere)
{
    UseWhiteTexture();
    RenderFrameAt(0);
    ExpectProjection(Bounds::For(300, 400));
    EXPECT_NEAR(16.0 / 9.0, Bounds::For(300, 400).top, 1e-12);
    const ProbeTally tally =
        ProbeGrid(Read(), Bounds::For(300, 400), FrameModel::FromBuilder(), 12);
    EXPECT_EQ(0, tally.mismatches);
    EXPECT_GT(tally.probes, 300);
}

// The tunnel's own texture is bound and its u runs round the ring: with a
// texture red on its left half and green on its right, entry 16 (u 1/4)
// shows red and entry 48 (u 3/4) green.
TEST_F(Renderer640x480Test, WallsShowTheTunnelTextureRoundTheRing)
{
    const unsigned char redGreen[12] = {255, 0, 0, 0, 255, 0, 255, 0, 0, 0, 255, 0};
    ReplaceTunnelImage(redGreen);
    RenderFrameAt(0);
    const FrameImage image = Read();
    for (int p = 4; p < 12; p += 3) {
        double x = 0.0;
        double y = 0.0;
        QuadCentre(p, 16, 1, &x, &y);
        const Rgb red = image.At(Pixel(x, y).x, Pixel(x, y).y);
        QuadCentre(p, 48, 1, &x, &y);
        const Rgb green = image.At(Pixel(x, y).x, Pixel(x, y).y);
        EXPECT_TRUE(red.r > 4 * red.g + 20 && red.b == 0)
            << "ring " << p << " entry 16: rgb(" << red.r << ", " << red.g << ", " << red.b << ")";
        EXPECT_TRUE(green.g > 4 * green.r + 20 && green.b == 0)
            << "ring " << p << " entry 48: rgb(" << green.r << ", " << green.g << ", " << green.b
            << ")";
    }
}

TEST_F(Renderer640x480Test, CoarsestStepDrawsEightQuadsARing)
{
    UseWhiteTexture();
    HandleKey(kKeyPolyCoarsest);
    RenderFrameAt(0);
    const ProbeTally tally =
        ProbeGrid(Read(), Bounds::For(640, 480), FrameModel::FromBuilder(), 20);
    EXPECT_EQ(0, tally.mismatches);
    EXPECT_GT(tally.probes, 300);
}

// After Escape the tunnel runs out. Each frame before that draws and posts
// nothing; the frame in which it is empty posts the close request and
// leaves the picture as it was: not cleared, not drawn, not counted.
TEST_F(Renderer640x480Test, RunOutFramePostsCloseAndLeavesThePictureAlone)
{
    UseWhiteTexture();
    RenderFrameAt(0);
    ASSERT_EQ(37, g_lastBuiltRing);
    HandleKey(kKeyEscape);
    bool probedShortTunnel = false;
    int n = 1;
    for (; n < 200; ++n) {
        glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        const int framesBefore = g_frameCount;
        const std::size_t titlesBefore = ScriptedWindowTexts().size();
        RenderFrameAt(n);
        if (g_ringCount == 0) {
            EXPECT_EQ(framesBefore, g_frameCount);
            break;
        }
        ASSERT_TRUE(ScriptedPostedMessages().empty()) << "frame " << n;
        if (g_ringCount == 3 && !probedShortTunnel) {
            probedShortTunnel = true;
            // A short tunnel leaves most of the frame to the clear colour.
            const ProbeTally tally =
                ProbeGrid(Read(), Bounds::For(640, 480), FrameModel::FromBuilder(), 20);
            EXPECT_EQ(0, tally.mismatches) << "frame " << n;
            EXPECT_GT(tally.blackProbes, 100) << "frame " << n;
        }
        // A rate display starts the count again, with this frame.
        const bool rateShown = ScriptedWindowTexts().size() != titlesBefore;
        EXPECT_EQ(rateShown ? 1 : framesBefore + 1, g_frameCount) << "frame " << n;
    }
    ASSERT_EQ(0, g_ringCount) << "never ran out";
    EXPECT_TRUE(probedShortTunnel);
    // 38 rings at 8000 / 60 a frame.
    EXPECT_EQ(static_cast<int>(38 * 256 / (8000.0 / 60.0)) + 1, n);

    EXPECT_TRUE(ProbeRectRgb(0, 0, 640, 480, {0, 255, 0}, 0));
    ASSERT_EQ(1u, ScriptedPostedMessages().size());
    const MSG& close = ScriptedPostedMessages()[0];
    EXPECT_EQ(kWindow, close.hwnd);
    EXPECT_EQ(static_cast<UINT>(WM_CLOSE), close.message);
    EXPECT_EQ(0u, close.wParam);
    EXPECT_EQ(0, close.lParam);

    // Should the window outlive the request, every empty frame asks again.
    RenderFrameAt(n + 1);
    EXPECT_EQ(2u, ScriptedPostedMessages().size());
}

TEST_F(Renderer640x480Test, TitleShowsRateOnceASecondWithLastFramesTriangles)
{
    // 60 frames in exactly one second.
    int ringsBefore = 0;
    for (int n = 0; n < 60; ++n) {
        RenderFrameAt(n);
        ringsBefore = g_ringCount;
    }
    EXPECT_TRUE(ScriptedWindowTexts().empty()) << "no rate within the first second";
    RenderFrameAt(60);
    ASSERT_EQ(1u, ScriptedWindowTexts().size());
    EXPECT_EQ("Zelk's little tunnel - 60 fps (" + std::to_string((ringsBefore - 1) * 128) + " tri)",
              ScriptedWindowTexts()[0]);
    EXPECT_EQ(1, ScriptedCallCount("SetWindowTextA"));
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(kWindow), ScriptedCalls().back().args[0]);
    EXPECT_EQ(1, g_frameCount);  // the frame that showed the rate starts the next count
    EXPECT_SAME_FLOAT(1.0f, g_lastRateTime);

    // Another 59 frames do not reach the next second.
    for (int n = 61; n < 120; ++n) {
        RenderFrameAt(n);
    }
    EXPECT_EQ(1u, ScriptedWindowTexts().size());
}

TEST_F(Renderer640x480Test, TitleCountsTrianglesOfTheDefaultFirstFrameAndFollowsTheStep)
{
    RenderFrameAt(0);  // travel 0: 38 rings
    g_time = 1.0f;
    g_deltaTime = 0.0f;
    RenderFrame();
    ASSERT_EQ(1u, ScriptedWindowTexts().size());
    EXPECT_EQ("Zelk's little tunnel - 1 fps (4736 tri)", ScriptedWindowTexts()[0]);

    // "1": eight quads a ring; the count divides accordingly.
    HandleKey(kKeyPolyCoarsest);
    g_time = 2.0f;
    RenderFrame();
    ASSERT_EQ(2u, ScriptedWindowTexts().size());
    EXPECT_EQ("Zelk's little tunnel - 1 fps (592 tri)", ScriptedWindowTexts()[1]);

    // Rates that are not whole print up to six significant digits:
    // 100 frames in 1.0009765625 s.
    for (int n = 0; n < 99; ++n) {
        RenderFrame();
    }
    g_time = 3.0009765625f;
    RenderFrame();
    ASSERT_EQ(3u, ScriptedWindowTexts().size());
    EXPECT_EQ("Zelk's little tunnel - 99.9024 fps (592 tri)", ScriptedWindowTexts()[2]);
}

// The projection is set again only when the shape changes. A client area
// without height (minimised) keeps the last one; the next real size is
// followed as usual.
TEST_F(Renderer640x480Test, ProjectionFollowsTheShapeOnlyAndSurvivesAZeroHeight)
{
    RenderFrameAt(0);
    auto markProjection = [] {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glScaled(0.5, 0.25, 1.0);
        glMatrixMode(GL_MODELVIEW);
    };
    auto projectionIsMarked = [] {
        GLdouble m[16] = {};
        glGetDoublev(GL_PROJECTION_MATRIX, m);
        return m[0] == 0.5 && m[5] == 0.25;
    };
    markProjection();
    RenderFrameAt(1);
    EXPECT_TRUE(projectionIsMarked()) << "same size";

    g_clientWidth = 1280;
    g_clientHeight = 960;
    RenderFrameAt(2);
    EXPECT_TRUE(projectionIsMarked()) << "same shape, larger";

    const int sizes[][2] = {{640, 0}, {0, 0}, {0, 480}};
    int n = 3;
    for (const auto& size : sizes) {
        g_clientWidth = size[0];
        g_clientHeight = size[1];
        RenderFrameAt(n++);
        EXPECT_TRUE(projectionIsMarked()) << size[0] << " x " << size[1];
        EXPECT_SAME_FLOAT(static_cast<float>(4.0 / 3.0), g_lastAspect);
    }

    g_clientWidth = 800;
    g_clientHeight = 300;
    RenderFrameAt(n++);
    ExpectProjection(Bounds::For(800, 300));
    GLint matrixMode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
    EXPECT_EQ(GL_MODELVIEW, matrixMode);
}

TEST_F(Renderer640x480Test, SetUpWithoutAClientAreaTakesTheStartingShape)
{
    g_clientWidth = 640;
    g_clientHeight = 0;
    ASSERT_TRUE(InitEffect());
    EXPECT_SAME_FLOAT(static_cast<float>(4.0 / 3.0), g_lastAspect);
    ExpectProjection(Bounds::For(640, 480));
    g_clientHeight = 200;
    RenderFrameAt(0);
    ExpectProjection(Bounds::For(640, 200));
}

}  // namespace
