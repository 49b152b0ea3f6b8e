#include "math/Mat3.h"

#include <cmath>

Mat3::Mat3() : row0(1.0f, 0.0f, 0.0f), row1(0.0f, 1.0f, 0.0f), row2(0.0f, 0.0f, 1.0f) {}

void Mat3::FromAngles(float a, float b, float c)
{
    // The sines and cosines are rounded to float before they are combined;
    // the products then run left to right in double precision.
    const double ca = static_cast<float>(std::cos(static_cast<double>(a)));
    const double sa = static_cast<float>(std::sin(static_cast<double>(a)));
    const double cb = static_cast<float>(std::cos(static_cast<double>(b)));
    const double sb = static_cast<float>(std::sin(static_cast<double>(b)));
    const double cc = static_cast<float>(std::cos(static_cast<double>(c)));
    const double sc = static_cast<float>(std::sin(static_cast<double>(c)));

    row0.x = static_cast<float>(cb * cc);
    row0.y = static_cast<float>(ca * sc * cb + sa * sb);
    row0.z = static_cast<float>(sa * sc * cb - ca * sb);

    row1.x = static_cast<float>(-sc);
    row1.y = static_cast<float>(ca * cc);
    row1.z = static_cast<float>(sa * cc);

    row2.x = static_cast<float>(cc * sb);
    row2.y = static_cast<float>(ca * sc * sb - sa * cb);
    row2.z = static_cast<float>(sa * sc * sb + ca * cb);
}

void Mat3::Transform(const Vec4& in, Vec4& out) const
{
    out.x = static_cast<float>(Dot(in, row0));
    out.y = static_cast<float>(Dot(in, row1));
    out.z = static_cast<float>(Dot(in, row2));
}

void Mat3::Transform(Vec4& v) const
{
    const Vec4 copy = v;
    Transform(copy, v);
}
