#include "core/Curve.h"

#include <algorithm>
#include <cmath>

namespace System {

double cubicBezierEasing(double x0, double x1, double x2, double x3, double x, double tolerance) {
    const double w = x3 - x0;
    if (w <= 0) return 0.5;
    const double X = std::clamp((x - x0) / w, 0.0, 1.0);
    const double L = std::clamp((x1 - x0) / w, 0.0, 1.0);
    const double M = std::clamp((x2 - x0) / w, 0.0, 1.0);
    double t = X;
    for (int i = 0; i < 64; ++i) {
        const double u = 1 - t;
        const double f = 3 * L * t * u * u + 3 * M * t * t * u + t * t * t - X;
        if (tolerance > std::fabs(f)) break;
        const double d = L * (3 - 12 * t + 9 * t * t) + M * (6 * t - 9 * t * t) + 3 * t * t;
        if (d == 0) break;
        t -= f / d;
    }
    return t;
}

namespace {
double distance(const Point3& a, const Point3& b) {
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
}
}  // namespace

Point3 interpolateCurve3D(double t, const Point3& p0, const Point3& p1, const Point3& p2, const Point3& p3) {
    const double r = distance(p1, p0), u = distance(p2, p1), w = distance(p3, p2);
    if (u <= 0) return p1;
    const double k = 1 - t;
    const double b0 = k * k * k, b1 = 3 * k * k * t, b2 = 3 * k * t * t, b3 = t * t * t;
    auto axis = [&](double q0, double q1, double q2, double q3) {
        const double c1 = q1 + (r * (q2 - q1) + u * (q1 - q0)) / (2 * (u + r));
        const double c2 = q2 - (u * (q3 - q2) + w * (q2 - q1)) / (2 * (w + u));
        return b0 * q1 + b1 * c1 + b2 * c2 + b3 * q2;
    };
    return {axis(p0.x, p1.x, p2.x, p3.x), axis(p0.y, p1.y, p2.y, p3.y), axis(p0.z, p1.z, p2.z, p3.z)};
}

double curveControlValue(double a, double b, double c) {
    const double s = (a - b) * (a - b) + (b - c) * (b - c);
    const double e = (c - a) * (c - a) + s;
    if (e < 1) return b;
    return b + (c - a) * s / e * 0.5;
}

}  // namespace System
