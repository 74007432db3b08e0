#pragma once
// The reference of a placed image: the screen-to-image mapping through the
// projected corners of the image quad, the texel read of the textured shaders,
// and the comparison of a rendered frame with it.
#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "effects/OutputFixture.h"

namespace OutputTest {

struct Vec3 {
    double x, y, z;
};

// Turned about z, then y, then x (degrees); positive angles turn clockwise
// seen along the axis.
inline Vec3 turn(Vec3 p, double angleX, double angleY, double angleZ) {
    const double rad = 3.14159265358979323846 / 180;
    double s = std::sin(angleZ * rad), k = std::cos(angleZ * rad);
    p = {p.x * k - p.y * s, p.x * s + p.y * k, p.z};
    s = std::sin(angleY * rad), k = std::cos(angleY * rad);
    p = {p.x * k + p.z * s, p.y, -p.x * s + p.z * k};
    s = std::sin(angleX * rad), k = std::cos(angleX * rad);
    return {p.x, p.y * k - p.z * s, p.y * s + p.z * k};
}

// The screen-to-image mapping of a plane quad: the homography through the
// projected corners, solved by elimination.
struct Homography {
    double h[9];
    explicit Homography(const std::array<std::array<double, 2>, 4>& screen) {
        const double uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
        double a[8][9] = {};
        for (int i = 0; i < 4; ++i) {
            const double X = screen[i][0], Y = screen[i][1], u = uv[i][0], v = uv[i][1];
            const double r0[9] = {X, Y, 1, 0, 0, 0, -u * X, -u * Y, u};
            const double r1[9] = {0, 0, 0, X, Y, 1, -v * X, -v * Y, v};
            std::copy(r0, r0 + 9, a[2 * i]);
            std::copy(r1, r1 + 9, a[2 * i + 1]);
        }
        for (int col = 0; col < 8; ++col) {
            int pivot = col;
            for (int r = col + 1; r < 8; ++r)
                if (std::abs(a[r][col]) > std::abs(a[pivot][col])) pivot = r;
            std::swap(a[col], a[pivot]);
            for (int r = 0; r < 8; ++r) {
                if (r == col) continue;
                const double m = a[r][col] / a[col][col];
                for (int k = col; k < 9; ++k) a[r][k] -= m * a[col][k];
            }
        }
        for (int i = 0; i < 8; ++i) h[i] = a[i][8] / a[i][i];
        h[8] = 1;
    }
    std::array<double, 2> operator()(double X, double Y) const {
        const double w = h[6] * X + h[7] * Y + h[8];
        return {(h[0] * X + h[1] * Y + h[2]) / w, (h[3] * X + h[4] * Y + h[5]) / w};
    }
};

inline bool inside(const std::array<double, 2>& uv) { return uv[0] >= 0 && uv[0] < 1 && uv[1] >= 0 && uv[1] < 1; }

// Bilinear read with a transparent border.
inline std::array<float, 4> sample(const Pixels& image, double u, double v) {
    const double tx = u * image.width - 0.5, ty = v * image.height - 0.5;
    const double fx = std::floor(tx), fy = std::floor(ty);
    std::array<float, 4> out{};
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 2; ++i) {
            const int px = static_cast<int>(fx) + i, py = static_cast<int>(fy) + j;
            if (px < 0 || py < 0 || px >= static_cast<int>(image.width) || py >= static_cast<int>(image.height))
                continue;
            const double w = (i ? tx - fx : 1 - (tx - fx)) * (j ? ty - fy : 1 - (ty - fy));
            for (int c = 0; c < 4; ++c) out[c] += static_cast<float>(w * image.at(px, py)[c]);
        }
    return out;
}

// The texel read of the textured shaders: one bilinear sample where the
// image is not shrunk, else the mean of n x n samples spread over the pixel's
// footprint (gx and gy: the change of uv from one pixel to the next).
inline std::array<float, 4> read(const Pixels& image, std::array<double, 2> uv, std::array<double, 2> gx,
                                 std::array<double, 2> gy) {
    const double fx = image.width * (std::abs(gx[0]) + std::abs(gy[0]));
    const double fy = image.height * (std::abs(gx[1]) + std::abs(gy[1]));
    if (fx < 1.05 && fy < 1.05) return sample(image, uv[0], uv[1]);
    const int nx = std::clamp(static_cast<int>(fx * 0.5 + 1.5), 1, 16);
    const int ny = std::clamp(static_cast<int>(fy * 0.5 + 1.5), 1, 16);
    const std::array<double, 2> cx{gx[0] / nx, gx[1] / nx}, cy{gy[0] / ny, gy[1] / ny};
    const double u0 = uv[0] - (gx[0] + gy[0]) / 2 + (cx[0] + cy[0]) / 2;
    const double v0 = uv[1] - (gx[1] + gy[1]) / 2 + (cx[1] + cy[1]) / 2;
    std::array<float, 4> sum{};
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i) {
            const auto t = sample(image, u0 + cx[0] * i + cy[0] * j, v0 + cx[1] * i + cy[1] * j);
            for (int k = 0; k < 4; ++k) sum[k] += t[k];
        }
    for (float& v : sum) v /= static_cast<float>(nx * ny);
    return sum;
}

// Compares the frame with the image drawn through the quad whose corners
// (top left, top right, bottom right, bottom left) land at the screen points,
// faded by the opacity. Pixels the outline crosses depend on the rasterizer's
// edge rules and are not compared. Reports the first few differences.
struct PlacementResult {
    int compared = 0, covered = 0, wrong = 0;
};
inline PlacementResult comparePlacement(const Pixels& frame, const Pixels& image,
                                        const std::array<std::array<double, 2>, 4>& corners, float opacity,
                                        const std::string& name, float tolerance = 0.02f) {
    const Homography toImage(corners);
    PlacementResult r;
    for (uint32_t y = 0; y < frame.height; ++y)
        for (uint32_t x = 0; x < frame.width; ++x) {
            const auto centre = toImage(x + 0.5, y + 0.5);
            const bool in = inside(centre);
            bool mixed = false;
            for (double dy : {0.0, 1.0})
                for (double dx : {0.0, 1.0}) mixed |= inside(toImage(x + dx, y + dy)) != in;
            if (mixed) continue;
            std::array<float, 4> want{};
            if (in) {
                const auto right = toImage(x + 1.5, y + 0.5), left = toImage(x - 0.5, y + 0.5);
                const auto down = toImage(x + 0.5, y + 1.5), up = toImage(x + 0.5, y - 0.5);
                want = read(image, centre, {(right[0] - left[0]) / 2, (right[1] - left[1]) / 2},
                            {(down[0] - up[0]) / 2, (down[1] - up[1]) / 2});
                for (float& v : want) v *= opacity;
                ++r.covered;
            }
            ++r.compared;
            const float* got = frame.at(x, y);
            bool ok = true;
            for (int k = 0; k < 4; ++k) ok &= std::abs(got[k] - want[k]) <= tolerance;
            if (!ok && ++r.wrong <= 3)
                ADD_FAILURE() << name << " at (" << x << ", " << y << "): got " << got[0] << " " << got[1] << " "
                              << got[2] << " " << got[3] << ", want " << want[0] << " " << want[1] << " " << want[2]
                              << " " << want[3];
        }
    return r;
}

}  // namespace OutputTest
