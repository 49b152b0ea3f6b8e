#include "math/Vec4.h"

Vec4& Vec4::Add(const Vec4& other)
{
    x = static_cast<float>(static_cast<double>(x) + other.x);
    y = static_cast<float>(static_cast<double>(y) + other.y);
    z = static_cast<float>(static_cast<double>(z) + other.z);
    return *this;
}

double Vec4::Dot(const Vec4& other) const
{
    return (static_cast<double>(x) * other.x + static_cast<double>(y) * other.y) +
           static_cast<double>(z) * other.z;
}

double Dot(const Vec4& a, const Vec4& b)
{
    return a.Dot(b);
}

Vec4 Scaled(const Vec4& v, float s)
{
    const double factor = s;
    return Vec4(static_cast<float>(factor * v.x), static_cast<float>(factor * v.y),
                static_cast<float>(factor * v.z));
}
