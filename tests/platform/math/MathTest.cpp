#include <gtest/gtest.h>

#include <cmath>

#include "platform/math/Math.h"

using namespace Platform::math;

namespace {

void expectNear(const Matrix& a, const Matrix& b, float tolerance = 1e-5f) {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_NEAR(a.m[i][j], b.m[i][j], tolerance) << "at " << i << "," << j;
}

void expectNear(const Float3& a, const Float3& b, float tolerance = 1e-4f) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

}  // namespace

TEST(MathTest, RowVectorsApplyTheLeftFactorFirst) {
    // Scale then translate: (1,1,1) → (2,2,2) → (12,2,2).
    const Matrix m = multiply(scaling(2, 2, 2), translation(10, 0, 0));
    expectNear(transformCoord({1, 1, 1}, m), {12, 2, 2});
    const Matrix n = multiply(translation(10, 0, 0), scaling(2, 2, 2));
    expectNear(transformCoord({1, 1, 1}, n), {22, 2, 2});
}

TEST(MathTest, ElementaryRotationsFollowTheLeftHandedRows) {
    const float a = toRadians(90.0f);
    // Rz rows (c, s), (-s, c): x goes to +y.
    expectNear(transformCoord({1, 0, 0}, rotationZ(a)), {0, 1, 0});
    // Rx rows (0, c, s), (0, -s, c): y goes to +z.
    expectNear(transformCoord({0, 1, 0}, rotationX(a)), {0, 0, 1});
    // Ry rows (c, 0, -s), (s, 0, c): x goes to -z.
    expectNear(transformCoord({1, 0, 0}, rotationY(a)), {0, 0, -1});
}

TEST(MathTest, RotationAboutANormalMatchesTheAxisRotations) {
    const float a = 0.7f;
    expectNear(rotationNormal({1, 0, 0}, a), rotationX(a));
    expectNear(rotationNormal({0, 1, 0}, a), rotationY(a));
    expectNear(rotationNormal({0, 0, 1}, a), rotationZ(a));
    // About the diagonal a third of a turn permutes the axes.
    const Float3 n = normalize({1, 1, 1});
    expectNear(transformCoord({1, 0, 0}, rotationNormal(n, toRadians(120))), {0, 1, 0});
}

TEST(MathTest, InverseUndoesAGeneralTransform) {
    const Matrix m =
        multiply(multiply(scaling(2, 3, 0.5f), rotationZ(0.3f)), multiply(rotationX(1.1f), translation(5, -7, 9)));
    float det = 0;
    const Matrix inv = inverse(m, &det);
    EXPECT_NEAR(det, 3.0f, 1e-4f);
    expectNear(multiply(m, inv), identity(), 1e-5f);
    expectNear(multiply(inv, m), identity(), 1e-5f);
    // A perspective-like matrix with a zero corner still inverts.
    Matrix p;
    p.m[0][0] = 2;
    p.m[1][1] = -2;
    p.m[2][3] = 1;
    p.m[3][2] = 51.2f;
    expectNear(multiply(p, inverse(p)), identity(), 1e-5f);
}

TEST(MathTest, SingularMatrixHasZeroDeterminant) {
    EXPECT_EQ(determinant(scaling(0, 1, 1)), 0.0f);
    float det = 1;
    const Matrix inv = inverse(scaling(0, 1, 1), &det);
    EXPECT_EQ(det, 0.0f);
    EXPECT_FALSE(std::isfinite(inv.m[0][0]));
}

TEST(MathTest, LookToPutsTheEyeAtTheOriginLookingDownZ) {
    const Matrix v = lookToLH({0, 0, -1024}, {0, 0, 1}, {0, 1, 0});
    expectNear(transformCoord({0, 0, 0}, v), {0, 0, 1024});
    expectNear(transformCoord({10, 20, 0}, v), {10, 20, 1024});
    // Looking along +x: +z ends on the left (negative x of the view).
    const Matrix side = lookToLH({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
    expectNear(transformCoord({5, 0, 0}, side), {0, 0, 5});
    expectNear(transformCoord({0, 0, 1}, side), {-1, 0, 0});
}

TEST(MathTest, TransformKeepsWAndNormalsIgnoreTranslation) {
    const Float4 r = transform({1, 2, 3, 0}, translation(10, 10, 10));
    EXPECT_FLOAT_EQ(r.x, 1);
    EXPECT_FLOAT_EQ(r.w, 0);
    expectNear(transformNormal({1, 2, 3}, translation(10, 10, 10)), {1, 2, 3});
}

TEST(MathTest, ScalarHelpers) {
    for (float x : {-1.0f, -0.9f, -0.5f, -0.1f, 0.0f, 0.2f, 0.5f, 0.77f, 1.0f})
        EXPECT_NEAR(acosEst(x), std::acos(x), 1e-4f) << x;
    EXPECT_NEAR(acosEst(1.5f), 0.0f, 1e-4f);
    EXPECT_NEAR(acosEst(-3.0f), kPi, 1e-4f);
    float s, c;
    sinCos(toRadians(30), s, c);
    EXPECT_NEAR(s, 0.5f, 1e-6f);
    EXPECT_NEAR(c, std::sqrt(3.0f) / 2, 1e-6f);
    expectNear(normalize({0, 0, 0}), {0, 0, 0});
    expectNear(cross({1, 0, 0}, {0, 1, 0}), {0, 0, 1});
}
