#include "PaintTexture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr int kSize = kTextureSize;

struct Rgb {
    double r, g, b;
};

Rgb operator*(Rgb c, double k) { return {c.r * k, c.g * k, c.b * k}; }
Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }

int Wrap(int v) { return ((v % kSize) + kSize) % kSize; }

std::uint32_t Hash(std::uint32_t x, std::uint32_t y, std::uint32_t seed)
{
    std::uint32_t h = x * 0x8DA6B343u ^ y * 0xD8163841u ^ seed * 0xCB1AB31Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

double Unit(std::uint32_t h) { return static_cast<double>(h & 0xFFFFFF) / 16777216.0; }

double Smooth(double t) { return t * t * t * (t * (t * 6.0 - 15.0) + 10.0); }

// Value noise on a lattice of periodX x periodY cells spread over the image,
// so it wraps exactly at the image's edges. Periods are powers of two, so
// the cell sizes, and every coordinate shifted by the image's size, are exact.
double Noise(double x, double y, int periodX, int periodY, std::uint32_t seed)
{
    const double fx = x / (static_cast<double>(kSize) / periodX);
    const double fy = y / (static_cast<double>(kSize) / periodY);
    const int ix = static_cast<int>(std::floor(fx));
    const int iy = static_cast<int>(std::floor(fy));
    const double tx = Smooth(fx - ix);
    const double ty = Smooth(fy - iy);
    auto at = [&](int cx, int cy) {
        const int wx = ((cx % periodX) + periodX) % periodX;
        const int wy = ((cy % periodY) + periodY) % periodY;
        return Unit(Hash(static_cast<std::uint32_t>(wx), static_cast<std::uint32_t>(wy), seed));
    };
    const double top = at(ix, iy) + (at(ix + 1, iy) - at(ix, iy)) * tx;
    const double bottom = at(ix, iy + 1) + (at(ix + 1, iy + 1) - at(ix, iy + 1)) * tx;
    return top + (bottom - top) * ty;
}

double Fbm(double x, double y, std::uint32_t seed)
{
    double sum = 0.0;
    double weight = 0.5;
    for (int period = 4; period <= 64; period *= 2) {
        sum += Noise(x, y, period, period, seed + static_cast<std::uint32_t>(period)) * weight;
        weight *= 0.5;
    }
    return sum / 0.96875;  // the weights' total, so the result spans 0..1
}

// What one pixel is made of before lighting.
struct Surface {
    double height = 0.0;
    Rgb albedo{0.0, 0.0, 0.0};
    Rgb glow{0.0, 0.0, 0.0};
    double shine = 0.0;  // specular strength
};

const Rgb kSteel{0.42, 0.46, 0.52};
const Rgb kDarkSteel{0.20, 0.22, 0.26};
const Rgb kSeam{0.03, 0.03, 0.04};
const Rgb kHazardYellow{0.95, 0.70, 0.10};
const Rgb kHazardBlack{0.06, 0.06, 0.06};
const Rgb kCyanGlow{0.25, 0.95, 1.25};
const Rgb kAmberGlow{1.35, 0.62, 0.14};

// Vertical layout, repeating every kSize pixels: panel band, channel, panel
// band (staggered by half a panel), channel.
constexpr int kPanelBand = 96;
constexpr int kChannel = 32;
constexpr int kPanelWidth = 64;

void PaintPanel(double px, double py, int panelX, int panelY, double x, double y, Surface* s)
{
    const double w = kPanelWidth;
    const double h = kPanelBand;
    const double edge = std::min(std::min(px, w - px), std::min(py, h - py));
    const std::uint32_t kind = Hash(static_cast<std::uint32_t>(panelX),
                                    static_cast<std::uint32_t>(panelY), 7u);
    const double tint = 0.72 + 0.45 * Unit(kind >> 3);
    const double grain = Fbm(x, y, 11u);
    // Long horizontal streaks: cells 32 pixels wide and 2 high.
    const double brushed = Noise(x, y, 8, 128, 23u);

    if (edge < 1.5) {  // the gap between panels
        s->height = 0.0;
        s->albedo = kSeam;
        return;
    }
    const double bevel = std::min(1.0, (edge - 1.5) / 4.0);
    s->height = 0.25 + 0.75 * Smooth(bevel) + (grain - 0.5) * 0.06;
    s->albedo = kSteel * (tint * (0.75 + 0.35 * grain + 0.12 * brushed));
    s->shine = 0.55;

    // 0 plain, 1 vents, 2 hatch, 3 hazard stripes, 4 cross brace.
    static const int kLayout[2][4] = {{1, 0, 2, 4}, {3, 4, 0, 2}};
    switch (kLayout[panelY & 1][panelX & 3]) {
    case 1: {  // vent slots, dark inside with a faint cyan light
        for (int slot = 0; slot < 4; ++slot) {
            const double top = 30.0 + slot * 10.0;
            if (px > 14.0 && px < w - 14.0 && py > top && py < top + 5.0) {
                const double depth = (py - top) / 5.0;
                s->height = 0.05;
                s->albedo = kDarkSteel * 0.3;
                s->glow = kCyanGlow * (0.35 * depth);
                s->shine = 0.0;
            }
        }
        break;
    }
    case 2: {  // round hatch with an amber lamp
        const double dx = px - w * 0.5;
        const double dy = py - h * 0.5;
        const double r = std::sqrt(dx * dx + dy * dy);
        if (r < 24.0 && r > 21.5) {
            s->height = 0.35;
            s->albedo = kSeam * 2.0;
        } else if (r <= 21.5) {
            s->height = 1.05 + 0.05 * std::cos(r * 0.9);
            s->albedo = kSteel * (tint * 0.9 * (0.8 + 0.3 * grain));
        }
        if (r < 5.0) {
            s->height = 1.2;
            s->albedo = kAmberGlow * 0.5;
            s->glow = kAmberGlow * (0.9 * (1.0 - r / 5.0) + 0.3);
        } else if (r < 12.0) {
            s->glow = kAmberGlow * (0.18 * (12.0 - r) / 7.0);
        }
        break;
    }
    case 3: {  // hazard stripes along the lower edge
        if (py > h - 18.0 && edge >= 5.5) {
            const double stripe = std::fmod(px + py + 64.0, 16.0);
            s->albedo = (stripe < 8.0 ? kHazardYellow : kHazardBlack) * (0.85 + 0.2 * grain);
            s->height = 1.0;
            s->shine = 0.3;
        }
        break;
    }
    case 4: {  // a raised cross brace from corner to corner
        const double a = std::fabs(px * h - py * w) / std::sqrt(w * w + h * h);
        const double b = std::fabs((w - px) * h - py * w) / std::sqrt(w * w + h * h);
        const double d = std::min(a, b);
        if (d < 4.0 && edge >= 5.5) {
            s->height = 1.0 + 0.4 * Smooth(std::min(1.0, (4.0 - d) / 2.0));
            s->albedo = kSteel * (tint * 0.8 * (0.8 + 0.3 * grain));
        }
        break;
    }
    default:
        break;
    }

    // Rivets in the corners: small domes that catch the light.
    const double corners[4][2] = {{8.0, 8.0}, {w - 8.0, 8.0}, {8.0, h - 8.0}, {w - 8.0, h - 8.0}};
    for (const auto& c : corners) {
        const double dx = px - c[0];
        const double dy = py - c[1];
        const double d2 = dx * dx + dy * dy;
        if (d2 < 3.2 * 3.2) {
            s->height = 1.0 + 0.35 * std::sqrt(3.2 * 3.2 - d2);
            s->albedo = kSteel * 1.15;
            s->shine = 1.0;
        }
    }
}

void PaintChannel(double cx, double cy, double x, double y, bool amber, Surface* s)
{
    const Rgb glow = amber ? kAmberGlow : kCyanGlow;
    const double grain = Fbm(x, y, 41u);
    const double centre = kChannel * 0.5;
    const double t = (cy - centre) / 7.0;  // across the tube, -1..1

    s->height = -0.35 + (grain - 0.5) * 0.05;
    s->albedo = kDarkSteel * (0.7 + 0.4 * grain);
    s->shine = 0.25;
    // Light from the tube falls on the channel floor.
    s->glow = glow * (0.28 * std::exp(-std::fabs(cy - centre) / 5.0));

    if (std::fabs(t) < 1.0) {  // the glowing tube
        const double core = std::sqrt(1.0 - t * t);
        s->height = -0.35 + 0.5 * core;
        s->albedo = glow * 0.3;
        s->glow = glow * (0.45 + 0.75 * core * core) + Rgb{0.4, 0.4, 0.4} * std::pow(core, 8.0);
        s->shine = 0.8;
    }
    // Clamps every 32 pixels hold the tube down.
    const double clampX = std::fmod(cx, 32.0);
    if (clampX > 12.0 && clampX < 20.0 && cy > 6.0 && cy < kChannel - 6.0) {
        const double across = std::min(clampX - 12.0, 20.0 - clampX);
        s->height = 0.2 + 0.25 * std::min(1.0, across / 2.0);
        s->albedo = kSteel * (0.7 + 0.3 * grain);
        s->glow = s->glow * 0.1;
        s->shine = 0.6;
    }
}

// Any pixel of the endless plane the image tiles: the layout follows the
// coordinates modulo the image's size, the noise the absolute ones (its
// lattices repeat with the image).
Surface SurfaceAt(int ix, int iy)
{
    const double x = ix + 0.5;
    const double y = iy + 0.5;
    const int wx = Wrap(ix);
    const int wy = Wrap(iy);
    Surface s;
    if (wy < kPanelBand) {
        const int column = wx / kPanelWidth;
        PaintPanel(wx + 0.5 - column * kPanelWidth, wy + 0.5, column, 0, x, y, &s);
    } else if (wy < kPanelBand + kChannel) {
        PaintChannel(wx + 0.5, wy + 0.5 - kPanelBand, x, y, false, &s);
    } else if (wy < 2 * kPanelBand + kChannel) {
        const int shifted = Wrap(wx + kPanelWidth / 2);
        const int column = shifted / kPanelWidth;
        PaintPanel(shifted + 0.5 - column * kPanelWidth, wy + 0.5 - (kPanelBand + kChannel),
                   column, 1, x, y, &s);
    } else {
        PaintChannel(wx + 0.5, wy + 0.5 - (2 * kPanelBand + kChannel), x, y, true, &s);
    }
    return s;
}

unsigned char ToByte(double v)
{
    const double clamped = std::min(1.0, std::max(0.0, v));
    return static_cast<unsigned char>(std::lround(std::pow(clamped, 1.0 / 1.1) * 255.0));
}

}  // namespace

std::vector<unsigned char> PaintTexture(int originX, int originY)
{
    // The window and a one-pixel border, for the normals at its edges.
    constexpr int kSpan = kSize + 2;
    std::vector<Surface> surface(static_cast<std::size_t>(kSpan) * kSpan);
    for (int y = -1; y <= kSize; ++y) {
        for (int x = -1; x <= kSize; ++x) {
            surface[static_cast<std::size_t>(y + 1) * kSpan + (x + 1)] =
                SurfaceAt(originX + x, originY + y);
        }
    }
    auto at = [&](int x, int y) -> const Surface& {
        return surface[static_cast<std::size_t>(y + 1) * kSpan + (x + 1)];
    };

    // Light from the upper left, a little in front; the viewer straight ahead.
    const double lx = -0.45, ly = -0.55, lz = 0.70;
    const double lightLength = std::sqrt(lx * lx + ly * ly + lz * lz);
    const double bumps = 6.0;  // height units to pixels

    std::vector<unsigned char> rgb(static_cast<std::size_t>(kSize) * kSize * 3);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const Surface& s = at(x, y);
            const double dx = (at(x + 1, y).height - at(x - 1, y).height) * 0.5 * bumps;
            const double dy = (at(x, y + 1).height - at(x, y - 1).height) * 0.5 * bumps;
            const double nLength = std::sqrt(dx * dx + dy * dy + 1.0);
            const double nx = -dx / nLength, ny = -dy / nLength, nz = 1.0 / nLength;
            const double diffuse =
                std::max(0.0, (nx * lx + ny * ly + nz * lz) / lightLength);
            // Blinn-Phong with the half vector of light and view (0, 0, 1).
            double hx = lx / lightLength, hy = ly / lightLength, hz = lz / lightLength + 1.0;
            const double hLength = std::sqrt(hx * hx + hy * hy + hz * hz);
            hx /= hLength;
            hy /= hLength;
            hz /= hLength;
            const double specular =
                s.shine * std::pow(std::max(0.0, nx * hx + ny * hy + nz * hz), 40.0);
            // Recesses get less ambient light.
            const double occlusion = 0.55 + 0.45 * std::min(1.0, std::max(0.0, s.height + 0.35));
            const double light = 0.18 * occlusion + 0.95 * diffuse;
            const Rgb c = s.albedo * light + Rgb{0.9, 0.95, 1.0} * (0.6 * specular) + s.glow;
            unsigned char* out = &rgb[(static_cast<std::size_t>(y) * kSize + x) * 3];
            out[0] = ToByte(c.r);
            out[1] = ToByte(c.g);
            out[2] = ToByte(c.b);
        }
    }
    return rgb;
}
