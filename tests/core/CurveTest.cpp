#include "core/Curve.h"

#include <gtest/gtest.h>

namespace {

TEST(Curve, CubicBezierEasing) {
    EXPECT_EQ(System::cubicBezierEasing(1, 5, -3, 1, 0.3, 1e-6), 0.5);  // no width
    for (double x : {0.0, 0.1, 0.5, 0.77, 1.0})
        EXPECT_DOUBLE_EQ(System::cubicBezierEasing(0, 1.0 / 3, 2.0 / 3, 1, x, 1e-6), x);  // a straight line
    EXPECT_DOUBLE_EQ(System::cubicBezierEasing(0, 0.2, 0.8, 1, -5, 1e-6), 0.0);
    EXPECT_DOUBLE_EQ(System::cubicBezierEasing(0, 0.2, 0.8, 1, 7, 1e-6), 1.0);
    // An ease curve: the found t puts the horizontal coordinate on x, and the
    // symmetric curve meets its midpoint at t = 0.5.
    const double L = 0.42, M = 0.58;
    for (double x : {0.1, 0.25, 0.5, 0.9}) {
        const double t = System::cubicBezierEasing(0, L, M, 1, x, 1e-9);
        const double u = 1 - t;
        EXPECT_NEAR(3 * L * t * u * u + 3 * M * t * t * u + t * t * t, x, 1e-8);
    }
    EXPECT_NEAR(System::cubicBezierEasing(10, 10 + 0.42 * 20, 10 + 0.58 * 20, 30, 20, 1e-9), 0.5, 1e-8);
}

void expectPoint(const System::Point3& p, double x, double y, double z) {
    EXPECT_NEAR(p.x, x, 1e-12);
    EXPECT_NEAR(p.y, y, 1e-12);
    EXPECT_NEAR(p.z, z, 1e-12);
}

TEST(Curve, InterpolateCurve3D) {
    const System::Point3 p0{0, 0, 0}, p1{1, 2, 0}, p2{4, 2, 1}, p3{5, 0, 3};
    expectPoint(System::interpolateCurve3D(0, p0, p1, p2, p3), 1, 2, 0);
    expectPoint(System::interpolateCurve3D(1, p0, p1, p2, p3), 4, 2, 1);
    expectPoint(System::interpolateCurve3D(0.4, p0, p1, p1, p3), 1, 2, 0);
    // Evenly spaced points on a line stay on it.
    const auto mid = System::interpolateCurve3D(0.5, {0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {3, 3, 3});
    expectPoint(mid, 1.5, 1.5, 1.5);
    // With p0 = p1 the first control point is p1: the curve leaves p1 towards c2 only.
    const auto start = System::interpolateCurve3D(1e-4, p1, p1, p2, p3);
    EXPECT_NEAR(start.x, 1, 1e-3);
}

TEST(Curve, CurveControlValue) {
    EXPECT_EQ(System::curveControlValue(0, 0.3, 0.2), 0.3);
    EXPECT_EQ(System::curveControlValue(0, 10, 0), 10);
    EXPECT_NEAR(System::curveControlValue(0, 5, 10), 5 + 10.0 * 50 / 150 * 0.5, 1e-12);
}

}  // namespace
