#include "effect/TunnelBuilder.h"

#include <cmath>

// The projection has a four-lane AVX form for x86 machines that have AVX,
// chosen at run time, and the plain form for every other machine.
// TUNNEL_PLAIN_PROJECTION builds the plain form alone, so that the tests can
// hold both to the same results. Not on Windows: there GCC does not keep the
// stack aligned for the 32-byte registers it may spill.
#if !defined(TUNNEL_PLAIN_PROJECTION) && (defined(__GNUC__) || defined(__clang__)) && \
    (defined(__x86_64__) || defined(__i386__)) && !defined(_WIN32)
#include <immintrin.h>
#define TUNNEL_AVX_PROJECTION 1
#else
#define TUNNEL_AVX_PROJECTION 0
#endif

#include "effect/EffectState.h"
#include "math/Mat3.h"
#include "math/Vec4.h"

float g_ringDepth[kRingSlots];
StripVertex g_strip[kRingSlots][kStripEntries];

namespace {

constexpr int kMaxMarch = kRingSlots;
constexpr float kUnboundedExtent = 1e10f;
// Depth used for a point at or behind the camera plane, as a float.
constexpr float kNearDepth = 0.1f;

// Radius factor of a rippled ring: (sin(k P / 10) + 4) / 4 in double
// precision, between 0.75 and 1.25 with a period of 20 ring indices.
double RippleFactor(int ringIndex)
{
    const double pi = kPi;
    return (std::sin(static_cast<double>(ringIndex) * pi / 10.0) + 4.0) / 4.0;
}

// The unbounded rectangle turned inside out: empty, and it empties any
// window it is intersected into.
void MakeEmpty(ScreenRect& rect)
{
    rect.minX = kUnboundedExtent;
    rect.minY = kUnboundedExtent;
    rect.maxX = -kUnboundedExtent;
    rect.maxY = -kUnboundedExtent;
}

// Where the circle O + cos t A + sin t B lies against the camera plane Y = 0:
// its Y runs from O.y - r to O.y + r with r = sqrt(A.y^2 + B.y^2).
enum class RingSide { InFront, Straddling, Behind };

RingSide SideOfCameraPlane(const Vec4& o, const Vec4& a, const Vec4& b)
{
    const double reachSquared = static_cast<double>(a.y) * a.y + static_cast<double>(b.y) * b.y;
    const double centreSquared = static_cast<double>(o.y) * o.y;
    if (o.y > 0.0f && centreSquared > reachSquared) {
        return RingSide::InFront;  // every point has Y > 0
    }
    if (o.y <= 0.0f && centreSquared >= reachSquared) {
        return RingSide::Behind;  // every point has Y <= 0
    }
    return RingSide::Straddling;  // also when anything is not-a-number
}

// The projection of one ring's cross-section points into its strip row, for
// the entries b = 0, step, 2 step, ... up to 64 (entry b shows point b & 63):
//   X = (px axisX.x + origin.x) + py axisZ.x, and likewise Y and Z, each
//   rounded to a float; a Y that is not above 0 (or not a number) becomes 0.1;
//   screen x = focal X / Y and screen y = -(focal Z / Y), each formed in
//   double precision and rounded to a float once; u = b / 64.
void ProjectRingPlain(const RingFrame& ring, const RingPoint* points, int step, double focal,
                      float v, StripVertex* row)
{
    const double ox = ring.origin.x, oy = ring.origin.y, oz = ring.origin.z;
    const double xx = ring.axisX.x, xy = ring.axisX.y, xz = ring.axisX.z;
    const double zx = ring.axisZ.x, zy = ring.axisZ.y, zz = ring.axisZ.z;
    for (int b = 0; b <= kRingPoints; b += step) {
        const double px = points[b & (kRingPoints - 1)].x;
        const double py = points[b & (kRingPoints - 1)].y;
        const float x = static_cast<float>((px * xx + ox) + py * zx);
        float y = static_cast<float>((px * xy + oy) + py * zy);
        const float z = static_cast<float>((px * xz + oz) + py * zz);
        if (!(y > 0.0f)) {
            y = kNearDepth;
        }
        row[b].x = static_cast<float>(focal * x / y);
        row[b].y = static_cast<float>(-(focal * z / y));
        row[b].u = static_cast<float>(b * (1.0 / 64.0));
        row[b].v = v;
    }
}

#if TUNNEL_AVX_PROJECTION

static_assert(sizeof(StripVertex) == 4 * sizeof(float), "a strip entry is one 16-byte store");

// (p axis + origin) + q otherAxis, in this order, rounded to float and back.
__attribute__((target("avx"))) inline __m256d AxisSum(__m256d p, __m256d axis, __m256d origin,
                                                      __m256d q, __m256d otherAxis)
{
    const __m256d sum =
        _mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(p, axis), origin), _mm256_mul_pd(q, otherAxis));
    // Through the conversion instructions themselves: GCC 12's vectorizer has
    // been seen to drop a float rounding between double values it packs.
    return _mm256_cvtps_pd(_mm256_cvtpd_ps(sum));
}

// The same as ProjectRingPlain, four entries at a time, one in each lane:
// lane by lane the very same IEEE double operations and roundings, for about
// a third of the instructions, and one packed division per coordinate where
// the plain form needs four. For steps with 64 a multiple of 4 step.
__attribute__((target("avx"))) void ProjectRingAvx(const RingFrame& ring, const RingPoint* points,
                                                   int step, double focal, float v,
                                                   StripVertex* row)
{
    const __m256d ox = _mm256_set1_pd(ring.origin.x);
    const __m256d oy = _mm256_set1_pd(ring.origin.y);
    const __m256d oz = _mm256_set1_pd(ring.origin.z);
    const __m256d xx = _mm256_set1_pd(ring.axisX.x);
    const __m256d xy = _mm256_set1_pd(ring.axisX.y);
    const __m256d xz = _mm256_set1_pd(ring.axisX.z);
    const __m256d zx = _mm256_set1_pd(ring.axisZ.x);
    const __m256d zy = _mm256_set1_pd(ring.axisZ.y);
    const __m256d zz = _mm256_set1_pd(ring.axisZ.z);
    const __m256d focals = _mm256_set1_pd(focal);
    const __m256d nearDepth = _mm256_set1_pd(kNearDepth);
    const __m128 vs = _mm_set1_ps(v);
    const __m128 signs = _mm_set1_ps(-0.0f);
    for (int b = 0; b < kRingPoints; b += 4 * step) {
        // x y of the four points, as px = (x0, x1, x2, x3), py = (y0, y1, y2, y3).
        const auto pair = [&](int i) { return reinterpret_cast<const __m64*>(&points[i]); };
        const __m128 p01 = _mm_loadh_pi(_mm_loadl_pi(_mm_setzero_ps(), pair(b)), pair(b + step));
        const __m128 p23 =
            _mm_loadh_pi(_mm_loadl_pi(_mm_setzero_ps(), pair(b + 2 * step)), pair(b + 3 * step));
        const __m256d px = _mm256_cvtps_pd(_mm_shuffle_ps(p01, p23, _MM_SHUFFLE(2, 0, 2, 0)));
        const __m256d py = _mm256_cvtps_pd(_mm_shuffle_ps(p01, p23, _MM_SHUFFLE(3, 1, 3, 1)));

        const __m256d x = AxisSum(px, xx, ox, py, zx);
        const __m256d z = AxisSum(px, xz, oz, py, zz);
        __m256d y = AxisSum(px, xy, oy, py, zy);
        // Not above 0, not-a-number included (ordered compare): depth 0.1.
        const __m256d inFront = _mm256_cmp_pd(y, _mm256_setzero_pd(), _CMP_GT_OQ);
        y = _mm256_or_pd(_mm256_and_pd(inFront, y), _mm256_andnot_pd(inFront, nearDepth));

        const __m128 screenX = _mm256_cvtpd_ps(_mm256_div_pd(_mm256_mul_pd(focals, x), y));
        const __m128 screenY =
            _mm_xor_ps(_mm256_cvtpd_ps(_mm256_div_pd(_mm256_mul_pd(focals, z), y)), signs);
        const __m128 u =
            _mm_mul_ps(_mm_cvtepi32_ps(_mm_setr_epi32(b, b + step, b + 2 * step, b + 3 * step)),
                       _mm_set1_ps(1.0f / 64.0f));  // exact

        const __m128 xy01 = _mm_unpacklo_ps(screenX, screenY);  // x0 y0 x1 y1
        const __m128 xy23 = _mm_unpackhi_ps(screenX, screenY);  // x2 y2 x3 y3
        const __m128 uv01 = _mm_unpacklo_ps(u, vs);             // u0 v  u1 v
        const __m128 uv23 = _mm_unpackhi_ps(u, vs);             // u2 v  u3 v
        _mm_storeu_ps(&row[b].x, _mm_movelh_ps(xy01, uv01));
        _mm_storeu_ps(&row[b + step].x, _mm_movehl_ps(uv01, xy01));
        _mm_storeu_ps(&row[b + 2 * step].x, _mm_movelh_ps(xy23, uv23));
        _mm_storeu_ps(&row[b + 3 * step].x, _mm_movehl_ps(uv23, xy23));
    }
    // Entry 64 shows point 0 again, by the same operations: copy entry 0.
    row[kRingPoints] = StripVertex{row[0].x, row[0].y, 1.0f, v};
}

bool MachineHasAvx()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx");
}

// Read before any frame; a call from another unit's static initialiser would
// see false and take the plain form, which gives the same results.
const bool g_machineHasAvx = MachineHasAvx();

#endif

void ProjectRing(const RingFrame& ring, const RingPoint* points, int step, double focal, float v,
                 StripVertex* row)
{
#if TUNNEL_AVX_PROJECTION
    if (g_machineHasAvx && step <= kRingPoints / 4 && kRingPoints % (4 * step) == 0) {
        ProjectRingAvx(ring, points, step, focal, v, row);
        return;
    }
#endif
    ProjectRingPlain(ring, points, step, focal, v, row);
}

}  // namespace

void ScreenRect::SetUnbounded()
{
    minX = -kUnboundedExtent;
    minY = -kUnboundedExtent;
    maxX = kUnboundedExtent;
    maxY = kUnboundedExtent;
}

bool ScreenRect::IsEmpty() const
{
    return minX > maxX || minY > maxY;
}

ScreenRect& ScreenRect::Intersect(const ScreenRect& other)
{
    minX = other.minX > minX ? other.minX : minX;
    maxX = other.maxX < maxX ? other.maxX : maxX;
    minY = other.minY > minY ? other.minY : minY;
    maxY = other.maxY < maxY ? other.maxY : maxY;
    return *this;
}

void CircleLinePoints(double a, double b, double c, float& x1, float& y1, float& x2, float& y2)
{
    const double n = 1.0 / std::sqrt(a * a + b * b);
    const double an = a * n;  // the line's unit normal (an, bn) ...
    const double bn = b * n;
    const double cn = c * n;                    // ... and its distance from the centre
    const double h = std::sqrt(1.0 - cn * cn);  // half the chord
    x1 = static_cast<float>(cn * an - h * bn);
    y1 = static_cast<float>(cn * bn + h * an);
    x2 = static_cast<float>(cn * an + h * bn);
    y2 = static_cast<float>(cn * bn - h * an);
}

void RingScreenExtent(int slot, ScreenRect& rect)
{
    const RingFrame& ring = g_ringFrames[slot];
    const Vec4& o = ring.origin;
    const Vec4 a = Scaled(ring.axisX, ring.radius);
    const Vec4 b = Scaled(ring.axisZ, ring.radius);

    // The tangency equations below give the projection's extremes only while
    // the projection is a closed oval, that is while the whole ring lies in
    // front of the camera. No line of sight passes through a ring that lies
    // wholly at or behind the camera plane, so nothing beyond it can be seen:
    // it closes the window. A ring that crosses the plane projects to an
    // unbounded region: it does not narrow the window.
    switch (SideOfCameraPlane(o, a, b)) {
    case RingSide::InFront:
        break;
    case RingSide::Behind:
        MakeEmpty(rect);
        return;
    case RingSide::Straddling:
        rect.SetUnbounded();
        return;
    }

    const double focal = g_focal;
    const double ox = o.x, oy = o.y, oz = o.z;
    const double ax = a.x, ay = a.y, az = a.z;
    const double bx = b.x, by = b.y, bz = b.z;

    // Horizontal pass: where screen x = focal N / D is stationary on the circle.
    float x1, y1, x2, y2;
    CircleLinePoints(oy * ax - ox * ay, ox * by - oy * bx, ay * bx - ax * by, x1, y1, x2, y2);
    const double dx1 = (ay * y1 + oy) + by * x1;
    const double dx2 = (ay * y2 + oy) + by * x2;
    const float s1 = static_cast<float>(((ax * y1 + ox) + bx * x1) * focal / dx1);
    const float s2 = static_cast<float>(((ax * y2 + ox) + bx * x2) * focal / dx2);

    // Vertical pass: the same with z, and screen y points the other way.
    CircleLinePoints(oy * az - oz * ay, oz * by - oy * bz, ay * bz - az * by, x1, y1, x2, y2);
    const double dy1 = (ay * y1 + oy) + by * x1;
    const double dy2 = (ay * y2 + oy) + by * x2;
    const float t1 = static_cast<float>(-(((az * y1 + oz) + bz * x1) * focal / dy1));
    const float t2 = static_cast<float>(-(((az * y2 + oz) + bz * x2) * focal / dy2));

    // A ring in front of the camera can still defeat the arithmetic: a
    // degenerate circle (a = b = 0), a chord pushed past the circle by
    // rounding, a depth rounded to zero or below, or a focal factor of
    // infinity times a zero offset. Its bounds would then be not-a-number,
    // which no comparison can narrow the window with, or mirrored; the ring
    // does not narrow the window either.
    const bool depthsPositive = dx1 > 0.0 && dx2 > 0.0 && dy1 > 0.0 && dy2 > 0.0;
    const bool anyNaN = std::isnan(s1) || std::isnan(s2) || std::isnan(t1) || std::isnan(t2);
    if (!depthsPositive || anyNaN) {
        rect.SetUnbounded();
        return;
    }

    if (s1 < s2) {
        rect.minX = s1;
        rect.maxX = s2;
    } else {
        rect.minX = s2;
        rect.maxX = s1;
    }
    if (t1 < t2) {
        rect.minY = t1;
        rect.maxY = t2;
    } else {
        rect.minY = t2;
        rect.maxY = t1;
    }
}

void BuildTunnel(std::int32_t travel)
{
    const float f = static_cast<float>((travel & 255) * (1.0 / 256.0));
    const std::int32_t base = travel >> 8;  // arithmetic: the floor quotient
    const float nearFactor = 1.0f - f;      // exact

    Vec4 position(0.0f, 0.0f, 0.0f);
    Vec4 axisX(1.0f, 0.0f, 0.0f);
    Vec4 step(0.0f, 8.0f, 0.0f);
    Vec4 axisZ(0.0f, 0.0f, 1.0f);
    Mat3 rotation;
    ScreenRect window;
    window.SetUnbounded();
    ScreenRect ringRect;

    int s = 0;
    while (s < kMaxMarch && !window.IsEmpty()) {
        const std::int32_t k = base + s;
        const int slot = k & (kRingSlots - 1);
        if (k > g_lastBuiltRing) {
            if (g_stopRequested) {
                break;
            }
            const double scale = g_rippleShape ? RippleFactor(k) : 1.0;
            BuildRing(slot, k, static_cast<float>(scale));
            g_lastBuiltRing = k;
        }

        RingFrame& ring = g_ringFrames[slot];
        if (s == 0) {
            position += Scaled(step, nearFactor);
        } else {
            position += step;
        }
        ring.origin = position;
        ring.axisX = axisX;
        ring.axisZ = axisZ;

        if (s == 0) {
            const double shrink = nearFactor;  // the nearest ring untwists as it nears
            rotation.FromAngles(static_cast<float>(shrink * ring.angles.x),
                                static_cast<float>(shrink * ring.angles.y),
                                static_cast<float>(shrink * ring.angles.z));
        } else {
            rotation.FromAngles(ring.angles.x, ring.angles.y, ring.angles.z);
        }
        rotation.Transform(axisX);
        rotation.Transform(step);
        rotation.Transform(axisZ);

        RingScreenExtent(slot, ringRect);
        window.Intersect(ringRect);
        ++s;
    }

    g_ringCount = s;
    if (s == 0) {
        return;
    }

    // g_polyStep is 1, 2, 4 or 8 once set up; a step below 1 (before set-up)
    // would never reach the end of the row, so it counts as 1.
    const int pointStep = g_polyStep > 0 ? g_polyStep : 1;
    const double focal = g_focal;
    for (int m = 0; m < g_ringCount; ++m) {
        g_ringDepth[m] = static_cast<float>((m + 1) - static_cast<double>(f));
        const std::int32_t k = base + m;
        const int slot = k & (kRingSlots - 1);
        const float v = static_cast<float>(static_cast<double>(k) * (1.0 / 64.0));
        ProjectRing(g_ringFrames[slot], g_ringPoints[slot], pointStep, focal, v, g_strip[m]);
    }
}
