#include "platform/math/Matrix.h"

#include "platform/math/Scalar.h"

namespace Platform::math {

Matrix identity() { return scaling(1.0f, 1.0f, 1.0f); }

Matrix multiply(const Matrix& a, const Matrix& b) {
    Matrix r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
    return r;
}

Matrix transpose(const Matrix& a) {
    Matrix r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) r.m[i][j] = a.m[j][i];
    return r;
}

namespace {

// The 2 × 2 sub-determinants of rows (0,1) and rows (2,3), reused by the
// determinant and the adjugate.
struct Minors {
    float s[6], c[6];
};

Minors minors(const Matrix& a) {
    const auto& m = a.m;
    Minors r;
    r.s[0] = m[0][0] * m[1][1] - m[1][0] * m[0][1];
    r.s[1] = m[0][0] * m[1][2] - m[1][0] * m[0][2];
    r.s[2] = m[0][0] * m[1][3] - m[1][0] * m[0][3];
    r.s[3] = m[0][1] * m[1][2] - m[1][1] * m[0][2];
    r.s[4] = m[0][1] * m[1][3] - m[1][1] * m[0][3];
    r.s[5] = m[0][2] * m[1][3] - m[1][2] * m[0][3];
    r.c[5] = m[2][2] * m[3][3] - m[3][2] * m[2][3];
    r.c[4] = m[2][1] * m[3][3] - m[3][1] * m[2][3];
    r.c[3] = m[2][1] * m[3][2] - m[3][1] * m[2][2];
    r.c[2] = m[2][0] * m[3][3] - m[3][0] * m[2][3];
    r.c[1] = m[2][0] * m[3][2] - m[3][0] * m[2][2];
    r.c[0] = m[2][0] * m[3][1] - m[3][0] * m[2][1];
    return r;
}

float determinantOf(const Minors& k) {
    return k.s[0] * k.c[5] - k.s[1] * k.c[4] + k.s[2] * k.c[3] + k.s[3] * k.c[2] - k.s[4] * k.c[1] + k.s[5] * k.c[0];
}

}  // namespace

float determinant(const Matrix& a) { return determinantOf(minors(a)); }

Matrix inverse(const Matrix& a, float* det) {
    const auto& m = a.m;
    const Minors k = minors(a);
    const float d = determinantOf(k);
    if (det) *det = d;
    const float f = 1.0f / d;
    const float* s = k.s;
    const float* c = k.c;
    Matrix r;
    r.m[0][0] = (m[1][1] * c[5] - m[1][2] * c[4] + m[1][3] * c[3]) * f;
    r.m[0][1] = (-m[0][1] * c[5] + m[0][2] * c[4] - m[0][3] * c[3]) * f;
    r.m[0][2] = (m[3][1] * s[5] - m[3][2] * s[4] + m[3][3] * s[3]) * f;
    r.m[0][3] = (-m[2][1] * s[5] + m[2][2] * s[4] - m[2][3] * s[3]) * f;
    r.m[1][0] = (-m[1][0] * c[5] + m[1][2] * c[2] - m[1][3] * c[1]) * f;
    r.m[1][1] = (m[0][0] * c[5] - m[0][2] * c[2] + m[0][3] * c[1]) * f;
    r.m[1][2] = (-m[3][0] * s[5] + m[3][2] * s[2] - m[3][3] * s[1]) * f;
    r.m[1][3] = (m[2][0] * s[5] - m[2][2] * s[2] + m[2][3] * s[1]) * f;
    r.m[2][0] = (m[1][0] * c[4] - m[1][1] * c[2] + m[1][3] * c[0]) * f;
    r.m[2][1] = (-m[0][0] * c[4] + m[0][1] * c[2] - m[0][3] * c[0]) * f;
    r.m[2][2] = (m[3][0] * s[4] - m[3][1] * s[2] + m[3][3] * s[0]) * f;
    r.m[2][3] = (-m[2][0] * s[4] + m[2][1] * s[2] - m[2][3] * s[0]) * f;
    r.m[3][0] = (-m[1][0] * c[3] + m[1][1] * c[1] - m[1][2] * c[0]) * f;
    r.m[3][1] = (m[0][0] * c[3] - m[0][1] * c[1] + m[0][2] * c[0]) * f;
    r.m[3][2] = (-m[3][0] * s[3] + m[3][1] * s[1] - m[3][2] * s[0]) * f;
    r.m[3][3] = (m[2][0] * s[3] - m[2][1] * s[1] + m[2][2] * s[0]) * f;
    return r;
}

Matrix translation(float x, float y, float z) {
    Matrix r = identity();
    r.m[3][0] = x;
    r.m[3][1] = y;
    r.m[3][2] = z;
    return r;
}

Matrix scaling(float x, float y, float z) {
    Matrix r;
    r.m[0][0] = x;
    r.m[1][1] = y;
    r.m[2][2] = z;
    r.m[3][3] = 1.0f;
    return r;
}

namespace {

// A rotation within the plane of axes a and b, turning a towards b.
Matrix planeRotation(int a, int b, float angle) {
    float s, c;
    sinCos(angle, s, c);
    Matrix r = identity();
    r.m[a][a] = c;
    r.m[a][b] = s;
    r.m[b][a] = -s;
    r.m[b][b] = c;
    return r;
}

}  // namespace

Matrix rotationX(float angle) { return planeRotation(1, 2, angle); }

Matrix rotationY(float angle) { return planeRotation(2, 0, angle); }

Matrix rotationZ(float angle) { return planeRotation(0, 1, angle); }

Matrix rotationNormal(const Float3& n, float angle) {
    float s, c;
    sinCos(angle, s, c);
    const float t = 1.0f - c;
    Matrix r = identity();
    r.m[0][0] = c + t * n.x * n.x;
    r.m[0][1] = t * n.x * n.y + s * n.z;
    r.m[0][2] = t * n.x * n.z - s * n.y;
    r.m[1][0] = t * n.y * n.x - s * n.z;
    r.m[1][1] = c + t * n.y * n.y;
    r.m[1][2] = t * n.y * n.z + s * n.x;
    r.m[2][0] = t * n.z * n.x + s * n.y;
    r.m[2][1] = t * n.z * n.y - s * n.x;
    r.m[2][2] = c + t * n.z * n.z;
    return r;
}

Matrix lookToLH(const Float3& eye, const Float3& direction, const Float3& up) {
    const Float3 r2 = normalize(direction);
    const Float3 r0 = normalize(cross(up, r2));
    const Float3 r1 = cross(r2, r0);
    const Float3 negEye = scale(eye, -1.0f);
    Matrix r = identity();
    r.m[0][0] = r0.x;
    r.m[1][0] = r0.y;
    r.m[2][0] = r0.z;
    r.m[0][1] = r1.x;
    r.m[1][1] = r1.y;
    r.m[2][1] = r1.z;
    r.m[0][2] = r2.x;
    r.m[1][2] = r2.y;
    r.m[2][2] = r2.z;
    r.m[3][0] = dot(r0, negEye);
    r.m[3][1] = dot(r1, negEye);
    r.m[3][2] = dot(r2, negEye);
    return r;
}

Float4 transform(const Float4& v, const Matrix& m) {
    const float in[4] = {v.x, v.y, v.z, v.w};
    float out[4];
    for (int j = 0; j < 4; ++j) out[j] = in[0] * m.m[0][j] + in[1] * m.m[1][j] + in[2] * m.m[2][j] + in[3] * m.m[3][j];
    return {out[0], out[1], out[2], out[3]};
}

Float3 transformCoord(const Float3& p, const Matrix& m) {
    const Float4 r = transform({p.x, p.y, p.z, 1.0f}, m);
    const float inv = 1.0f / r.w;
    return {r.x * inv, r.y * inv, r.z * inv};
}

Float3 transformNormal(const Float3& v, const Matrix& m) {
    const Float4 r = transform({v.x, v.y, v.z, 0.0f}, m);
    return {r.x, r.y, r.z};
}

}  // namespace Platform::math
