#include "PaintIcon.h"

#include <algorithm>
#include <cmath>

#include "PaintTexture.h"

namespace {

constexpr double kPi = 3.14159265358979;
constexpr double kRimOuter = 0.94;  // of the half size: a little margin, as icon themes have
constexpr double kRimInner = 0.84;
constexpr int kSubsamples = 4;  // a side: 16 samples a pixel smooth the rim and the centre

struct Rgba {
    double r = 0.0, g = 0.0, b = 0.0, a = 0.0;
};

// The texture, bilinear and wrapping both ways as the tunnel repeats it.
void SampleTexture(const std::vector<unsigned char>& texture, double u, double v, double out[3])
{
    const double fu = u - std::floor(u / kTextureSize) * kTextureSize;
    const double fv = v - std::floor(v / kTextureSize) * kTextureSize;
    const int x0 = static_cast<int>(fu);
    const int y0 = static_cast<int>(fv);
    const double tx = fu - x0;
    const double ty = fv - y0;
    auto at = [&](int x, int y, int c) {
        return texture[(static_cast<std::size_t>(y % kTextureSize) * kTextureSize +
                        x % kTextureSize) *
                           3 +
                       c] /
               255.0;
    };
    for (int c = 0; c < 3; ++c) {
        const double top = at(x0, y0, c) + (at(x0 + 1, y0, c) - at(x0, y0, c)) * tx;
        const double bottom = at(x0, y0 + 1, c) + (at(x0 + 1, y0 + 1, c) - at(x0, y0 + 1, c)) * tx;
        out[c] = top + (bottom - top) * ty;
    }
}

// One sample at (nx, ny), both -1..1 from the icon's centre, y down.
Rgba SampleIcon(const std::vector<unsigned char>& texture, double nx, double ny)
{
    const double r = std::sqrt(nx * nx + ny * ny);
    Rgba c;
    if (r > kRimOuter) {
        return c;
    }
    c.a = 1.0;
    if (r > kRimInner) {
        // A rounded steel rim, lit from the upper left like the texture.
        const double across = (r - kRimInner) / (kRimOuter - kRimInner) * 2.0 - 1.0;  // -1..1
        const double facing = r > 0.0 ? -(nx + ny) / (r * std::sqrt(2.0)) : 0.0;
        const double light =
            0.45 + 0.35 * facing * -across + 0.25 * std::sqrt(1.0 - across * across);
        c.r = 0.42 * light;
        c.g = 0.46 * light;
        c.b = 0.52 * light;
        return c;
    }
    // Inside: the texture's width once around, its rows receding with depth
    // 1 / radius; a slight twist with depth, and darker with distance.
    const double radius = r / kRimInner;
    const double depth = 1.0 / std::max(radius, 1e-3);
    const double u = (std::atan2(ny, nx) / (2.0 * kPi) + 0.5) * kTextureSize + depth * 12.0;
    const double v = depth * 40.0;
    double texel[3];
    SampleTexture(texture, u, v, texel);
    const double shade = std::pow(std::min(1.0, radius * 1.25), 1.6);
    c.r = texel[0] * shade;
    c.g = texel[1] * shade;
    c.b = texel[2] * shade;
    return c;
}

unsigned char ToByte(double v)
{
    return static_cast<unsigned char>(std::lround(std::min(1.0, std::max(0.0, v)) * 255.0));
}

}  // namespace

std::vector<unsigned char> PaintIcon(int size)
{
    const std::vector<unsigned char> texture = PaintTexture();
    std::vector<unsigned char> rgba(static_cast<std::size_t>(size) * size * 4);
    const double half = size * 0.5;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            // Colours weighted by coverage, so the rim's edge has no dark fringe.
            Rgba sum;
            for (int j = 0; j < kSubsamples; ++j) {
                for (int i = 0; i < kSubsamples; ++i) {
                    const double nx = (x + (i + 0.5) / kSubsamples - half) / half;
                    const double ny = (y + (j + 0.5) / kSubsamples - half) / half;
                    const Rgba s = SampleIcon(texture, nx, ny);
                    sum.r += s.r * s.a;
                    sum.g += s.g * s.a;
                    sum.b += s.b * s.a;
                    sum.a += s.a;
                }
            }
            unsigned char* out = &rgba[(static_cast<std::size_t>(y) * size + x) * 4];
            const double coverage = sum.a / (kSubsamples * kSubsamples);
            out[0] = sum.a > 0.0 ? ToByte(sum.r / sum.a) : 0;
            out[1] = sum.a > 0.0 ? ToByte(sum.g / sum.a) : 0;
            out[2] = sum.a > 0.0 ? ToByte(sum.b / sum.a) : 0;
            out[3] = ToByte(coverage);
        }
    }
    return rgba;
}
