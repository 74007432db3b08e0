#pragma once
#include "platform/math/Vector.h"

namespace Platform::math {

// 4 × 4 matrix, m[row][column], applied to row vectors.
struct Matrix {
    float m[4][4] = {};
};

Matrix identity();
// a × b: the transform of a followed by that of b.
Matrix multiply(const Matrix& a, const Matrix& b);
Matrix transpose(const Matrix& a);
// The inverse; a singular matrix gives the zero-determinant result of the
// cofactor formula (infinities or NaN), as the callers expect to test for.
Matrix inverse(const Matrix& a, float* determinant = nullptr);
float determinant(const Matrix& a);

Matrix translation(float x, float y, float z);
Matrix scaling(float x, float y, float z);
// Rotations by an angle in radians, clockwise when looking along the axis
// towards the origin (left-handed).
Matrix rotationX(float angle);
Matrix rotationY(float angle);
Matrix rotationZ(float angle);
// Rotation about a unit axis.
Matrix rotationNormal(const Float3& normal, float angle);
// View matrix of an eye looking along a direction, left-handed.
Matrix lookToLH(const Float3& eye, const Float3& direction, const Float3& up);

// v × M.
Float4 transform(const Float4& v, const Matrix& m);
// (p, 1) × M divided by the resulting w.
Float3 transformCoord(const Float3& p, const Matrix& m);
// (v, 0) × M: a direction, no translation.
Float3 transformNormal(const Float3& v, const Matrix& m);

}  // namespace Platform::math
