#include "math/Vec4.h"

Vec4& Vec4::Add(const Vec4& other)
{
    x = static_cast<float>(static_cast<double>(x) + other.x);
    y = static_cast<float>(static_cast<double>(y) + other.y);
    z = static_cast<float>(static_cast<double>(z) + other.z);
    return *this;
}

Vec4 Scaled(const Vec4& v, float s)
{
    const double factor = s;
    return Vec4(static_cast<float>(factor * v.x), static_cast<float>(factor * v.y),
                static_cast<float>(factor * v.z));
}
