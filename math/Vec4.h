#pragma once

// A vector of four single-precision components. w is a homogeneous
// coordinate: the three-value constructor sets it to 1, assignment copies it,
// and no arithmetic reads or writes it.
//
// Every operation computes in double precision and rounds to float only where
// a component is stored, so results are reproducible to the last bit.
struct Vec4 {
    float x, y, z, w;

    // Sets nothing on purpose: a Vec4 in static storage starts as zeros, and
    // the ring table relies on default construction leaving it that way.
    Vec4() {}
    Vec4(float x_, float y_, float z_) : x(x_), y(y_), z(z_), w(1.0f) {}

    Vec4& operator=(const Vec4& other) = default;
    Vec4(const Vec4& other) = default;

    Vec4& operator+=(const Vec4& other) { return Add(other); }
    Vec4& Add(const Vec4& other);

    // (x * o.x + y * o.y) + z * o.z in double precision, not rounded.
    // Inline: the builder calls it nine times a ring.
    double Dot(const Vec4& other) const
    {
        return (static_cast<double>(x) * other.x + static_cast<double>(y) * other.y) +
               static_cast<double>(z) * other.z;
    }
};

inline double Dot(const Vec4& a, const Vec4& b)
{
    return a.Dot(b);
}

// (s * v.x, s * v.y, s * v.z) with w = 1, whatever v.w is.
Vec4 Scaled(const Vec4& v, float s);
