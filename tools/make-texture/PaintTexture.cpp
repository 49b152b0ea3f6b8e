#include "PaintTexture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr int kSize = kTextureSize;

struct Rgb {
    double r, g, b;
};

Rgb operator*(Rgb c, double k)
{
    return {c.r * k, c.g * k, c.b * k};
}
Rgb operator+(Rgb a, Rgb b)
{
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}

int Wrap(int v)
{
    return ((v % kSize) + kSize) % kSize;
}

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

double Unit(std::uint32_t h)
{
    return static_cast<double>(h & 0xFFFFFF) / 16777216.0;
}

double Smooth(double t)
{
    return t * t * t * (t * (t * 6.0 - 15.0) + 10.0);
}

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

// The tunnel wraps the image's width once around a ring of radius 25 and
// its height along 64 ring steps of 8, so one pixel covers about 0.61 units
// across and 2 units along the path. Features are laid out in those units so
// that they look right in the tunnel, not in the flat image.
constexpr double kUnitsAcross = 2.0 * 3.14159265358979 * 25.0 / kSize;
constexpr double kUnitsAlong = 64.0 * 8.0 / kSize;

// Along the path the image repeats 4 blocks of 64 pixels: two rows of panels
// (the second staggered by half a panel) and a channel carrying a glowing
// tube. Around the ring there are 8 panels of 32 pixels.
constexpr int kBlockRows = 64;
constexpr int kPanelRows = 24;
constexpr int kChannelRows = kBlockRows - 2 * kPanelRows;
constexpr int kPanelColumns = 32;
constexpr double kPanelWidth = kPanelColumns * kUnitsAcross;
constexpr double kPanelLength = kPanelRows * kUnitsAlong;
constexpr double kChannelLength = kChannelRows * kUnitsAlong;

enum PanelKind { kPlain, kVents, kLamp, kHazard, kBrace };

PanelKind KindOf(int column, int row)
{
    const std::uint32_t h =
        Hash(static_cast<std::uint32_t>(column), static_cast<std::uint32_t>(row), 7u);
    const std::uint32_t pick = h % 20;
    if (pick < 8) {
        return kPlain;
    }
    if (pick < 11) {
        return kVents;
    }
    if (pick < 14) {
        return kLamp;
    }
    if (pick < 17) {
        return kHazard;
    }
    return kBrace;
}

// px, py: position in the panel in units (across, along); x, y: absolute
// pixel coordinates for the noise.
void PaintPanel(double px, double py, int column, int row, double x, double y, Surface* s)
{
    const double w = kPanelWidth;
    const double h = kPanelLength;
    const double edgeX = std::min(px, w - px);
    const double edgeY = std::min(py, h - py);
    const std::uint32_t hash =
        Hash(static_cast<std::uint32_t>(column), static_cast<std::uint32_t>(row), 3u);
    const double tint = 0.70 + 0.45 * Unit(hash);
    const double grain = Fbm(x, y, 11u);
    const double brushed = Noise(x, y, 128, 8, 23u);  // streaks along the path

    // The gap between panels: about a unit across, one pixel along.
    if (edgeX < 0.9 || edgeY < 2.0) {
        s->height = 0.0;
        s->albedo = kSeam;
        return;
    }
    const double bevel = std::min(1.0, std::min((edgeX - 0.9) / 1.4, (edgeY - 2.0) / 3.0));
    s->height = 0.3 + 0.7 * Smooth(bevel) + (grain - 0.5) * 0.08;
    s->albedo = kSteel * (tint * (0.72 + 0.35 * grain + 0.15 * brushed));
    s->shine = 0.55;

    const double cx = px - w * 0.5;
    const double cy = py - h * 0.5;
    switch (KindOf(column, row)) {
    case kVents:  // slots across the panel, dark with a faint light inside
        for (int slot = -1; slot <= 1; ++slot) {
            const double top = slot * 10.0 - 2.5;
            if (std::fabs(cx) < w * 0.5 - 3.5 && cy > top && cy < top + 5.0) {
                s->height = 0.05;
                s->albedo = kDarkSteel * 0.3;
                s->glow = kCyanGlow * (0.45 * (cy - top) / 5.0);
                s->shine = 0.0;
            }
        }
        break;
    case kLamp: {  // a round hatch with an amber lamp
        const double r = std::sqrt(cx * cx + cy * cy);
        if (r < 7.5 && r > 6.3) {
            s->height = 0.35;
            s->albedo = kSeam * 2.0;
        } else if (r <= 6.3) {
            s->height = 1.05;
            s->albedo = kSteel * (tint * 0.85 * (0.8 + 0.3 * grain));
        }
        if (r < 2.8) {
            s->height = 1.25;
            s->albedo = kAmberGlow * 0.5;
            s->glow = kAmberGlow * (1.0 - 0.5 * r / 2.8);
        } else if (r < 5.5) {
            s->glow = kAmberGlow * (0.25 * (5.5 - r) / 2.7);
        }
        break;
    }
    case kHazard:  // diagonal stripes across the panel's far end
        if (py > h - 14.0 && edgeY > 4.0 && edgeX > 2.0) {
            const double stripe = std::fmod(px + (h - py) * 0.6 + 40.0, 5.0);
            s->albedo = (stripe < 2.5 ? kHazardYellow : kHazardBlack) * (0.85 + 0.2 * grain);
            s->height = 1.0;
            s->shine = 0.3;
        }
        break;
    case kBrace: {  // a raised cross from corner to corner
        const double diagonal = std::sqrt(w * w + h * h);
        const double a = std::fabs(px * h - py * w) / diagonal;
        const double b = std::fabs((w - px) * h - py * w) / diagonal;
        const double d = std::min(a, b);
        if (d < 1.6 && edgeX > 2.0 && edgeY > 4.0) {
            s->height = 1.0 + 0.4 * Smooth(std::min(1.0, (1.6 - d) / 0.8));
            s->albedo = kSteel * (tint * 0.75 * (0.8 + 0.3 * grain));
        }
        break;
    }
    case kPlain:
        break;
    }

    // Rivets in the corners: small domes that catch the light.
    const double insetX = 2.6;
    const double insetY = 5.0;
    const double corners[4][2] = {
        {insetX, insetY}, {w - insetX, insetY}, {insetX, h - insetY}, {w - insetX, h - insetY}};
    for (const auto& corner : corners) {
        const double dx = px - corner[0];
        const double dy = py - corner[1];
        const double d2 = dx * dx + dy * dy;
        const double radius = 1.9;
        if (d2 < radius * radius) {
            s->height = 1.0 + 0.6 * std::sqrt(radius * radius - d2);
            s->albedo = kSteel * 1.2;
            s->shine = 1.0;
        }
    }
}

// px, py: position in the channel in units; x, y: absolute pixel coordinates.
void PaintChannel(double px, double py, double x, double y, const Rgb& glow, Surface* s)
{
    const double grain = Fbm(x, y, 41u);
    const double centre = kChannelLength * 0.5;
    const double t = (py - centre) / 6.0;  // across the tube, -1..1

    s->height = -0.4 + (grain - 0.5) * 0.05;
    s->albedo = kDarkSteel * (0.7 + 0.4 * grain);
    s->shine = 0.25;
    // Light from the tube falls on the channel floor.
    s->glow = glow * (0.4 * std::exp(-std::fabs(py - centre) / 5.0));

    if (std::fabs(t) < 1.0) {  // the glowing tube
        const double core = std::sqrt(1.0 - t * t);
        s->height = -0.4 + 0.8 * core;
        s->albedo = glow * 0.3;
        s->glow = glow * (0.6 + 0.9 * core * core) + Rgb{0.5, 0.5, 0.5} * std::pow(core, 6.0);
        s->shine = 0.8;
    }
    // Clamps hold the tube down, two to a panel's width.
    const double clampX = std::fmod(px, kPanelWidth * 0.5);
    const double clampCentre = kPanelWidth * 0.25;
    if (std::fabs(clampX - clampCentre) < 1.6 && std::fabs(py - centre) < 9.0) {
        const double across = 1.6 - std::fabs(clampX - clampCentre);
        s->height = 0.2 + 0.4 * std::min(1.0, across / 0.8);
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
    const int block = wy / kBlockRows;
    const int inBlock = wy % kBlockRows;
    Surface s;
    if (inBlock < 2 * kPanelRows) {
        const int row = block * 2 + inBlock / kPanelRows;
        const int shifted = (row & 1) != 0 ? Wrap(wx + kPanelColumns / 2) : wx;
        const int column = shifted / kPanelColumns;
        PaintPanel((shifted % kPanelColumns + 0.5) * kUnitsAcross,
                   (inBlock % kPanelRows + 0.5) * kUnitsAlong, column, row, x, y, &s);
    } else {
        const Rgb& glow = (block & 1) != 0 ? kAmberGlow : kCyanGlow;
        PaintChannel((wx + 0.5) * kUnitsAcross, (inBlock - 2 * kPanelRows + 0.5) * kUnitsAlong, x,
                     y, glow, &s);
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

    std::vector<unsigned char> rgb(static_cast<std::size_t>(kSize) * kSize * 3);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const Surface& s = at(x, y);
            // Slopes in the tunnel's units, so shading matches the shapes there.
            const double dx = (at(x + 1, y).height - at(x - 1, y).height) / (2.0 * kUnitsAcross);
            const double dy = (at(x, y + 1).height - at(x, y - 1).height) / (2.0 * kUnitsAlong);
            const double nLength = std::sqrt(dx * dx + dy * dy + 1.0);
            const double nx = -dx / nLength, ny = -dy / nLength, nz = 1.0 / nLength;
            const double diffuse = std::max(0.0, (nx * lx + ny * ly + nz * lz) / lightLength);
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
