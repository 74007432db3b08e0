#pragma once

// How values move over time: the time curve's easing, a smooth curve through
// 3D points and the control value of the random movement. Pure functions.
namespace System {

struct Point3 {
    double x = 0, y = 0, z = 0;
};

// The parameter t at which the horizontal coordinate of the Bezier segment
// with control coordinates x0..x3 equals x (Newton steps, at most 64).
double cubicBezierEasing(double x0, double x1, double x2, double x3, double x, double tolerance);

// The point at t (0..1) on the segment p1..p2 of a smooth curve through p0..p3.
Point3 interpolateCurve3D(double t, const Point3& p0, const Point3& p1, const Point3& p2, const Point3& p3);

// The control value next to b on a smooth curve through a, b, c.
double curveControlValue(double a, double b, double c);

}  // namespace System
