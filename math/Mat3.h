#pragma once

#include "math/Vec4.h"

// A 3 x 3 rotation held as three Vec4 rows; the rows' w components are set to
// 1 by construction and otherwise neither read nor written.
struct Mat3 {
    Vec4 row0, row1, row2;

    // The identity.
    Mat3();

    // Overwrites the nine entries with Ry(-b) * Rz(-c) * Rx(-a): a vector is
    // turned by -a about x, then by -c about z, then by -b about y.
    void FromAngles(float a, float b, float c);

    // Replaces x, y, z of v by this matrix times (x, y, z); w is kept.
    void Transform(Vec4& v) const;

    // out = this matrix times in (x, y, z only); in and out must differ.
    void Transform(const Vec4& in, Vec4& out) const;
};
