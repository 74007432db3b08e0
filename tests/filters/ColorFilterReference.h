#pragma once
// CPU pieces the colour, keying and basic filter tests compare with: the
// luminance and colour difference pair in double precision, a test pattern
// and per-pixel maps.
#include <array>
#include <cmath>
#include <functional>

#include "BlurFixture.h"

namespace ColorReference {

using Rgba = std::array<double, 4>;
using Vec3 = std::array<double, 3>;

inline Vec3 toYuv(const Vec3& c) {
    return {0.299 * c[0] + 0.587 * c[1] + 0.114 * c[2], -0.169 * c[0] - 0.331 * c[1] + 0.5 * c[2],
            0.5 * c[0] - 0.419 * c[1] - 0.081 * c[2]};
}

inline Vec3 toRgb(const Vec3& c) {
    return {c[0] + 1.402 * c[2], c[0] - 0.344 * c[1] - 0.714 * c[2], c[0] + 1.772 * c[1]};
}

// Straight colour of a premultiplied texel.
inline Vec3 straight(const Rgba& c) { return {c[0] / c[3], c[1] / c[3], c[2] / c[3]}; }

inline Rgba premultiplied(const Vec3& c, double a) { return {c[0] * a, c[1] * a, c[2] * a, a}; }

inline Rgba texel(const Pixels& p, uint32_t x, uint32_t y) {
    return {p.at(x, y, 0), p.at(x, y, 1), p.at(x, y, 2), p.at(x, y, 3)};
}

// Each output pixel from its input pixel.
inline Pixels map(const Pixels& in, const std::function<Rgba(const Rgba&)>& f) {
    Pixels out(in.width, in.height);
    for (uint32_t y = 0; y < in.height; ++y)
        for (uint32_t x = 0; x < in.width; ++x) {
            const Rgba c = f(texel(in, x, y));
            for (int k = 0; k < 4; ++k) out.at(x, y, k) = c[k];
        }
    return out;
}

// Colours of every hue and brightness with alphas from 0 to 1, some pixels
// fully transparent.
inline Rgba pattern(uint32_t x, uint32_t y) {
    const uint32_t cell = x * 7 + y * 13;
    const double a = (cell % 6) / 5.0;
    const double r = ((x * 5 + y) % 9) / 8.0, g = ((x + y * 3) % 7) / 6.0, b = ((x * 3 + y * 7) % 5) / 4.0;
    return {r * a, g * a, b * a, a};
}

}  // namespace ColorReference

namespace ColorReference {

// The chroma key's key map of one texel: x the distance measure, y and z the
// colour difference, w the key weight.
struct KeySettings {
    Vec3 key;  // 0 .. 1
    double hueRange, saturationRange;
};

inline Rgba keyMapTexel(const Rgba& c, const KeySettings& k) {
    if (c[3] < 0.001) return {0, 0, 0, 0};
    const double pi = 3.14159265;
    const Vec3 key = toYuv(k.key);
    const double keyH = std::atan2(key[2], key[1]) / pi;
    const double keyS = std::max(std::hypot(key[1], key[2]), 0.001);
    const double lenH = k.hueRange / 256, lenS = k.saturationRange * keyS / 256;
    const Vec3 yuv = toYuv(straight(c));
    const double h = std::atan2(yuv[2], yuv[1]), s = std::hypot(yuv[1], yuv[2]);
    const double e = std::abs(h / pi - keyH);
    const double d = e < 1 ? e : 2 - e;
    const double outside = std::max(d - lenH, 0.0);
    return {std::max(std::abs(keyS - s) / keyS, 8 * outside), yuv[1], yuv[2],
            std::min(8 * (outside + std::max(std::abs(s - keyS) - lenS, 0.0)), 1.0)};
}

// The edge shrink: the weight w at (x, y) lowered by the share of the weights
// around it over (2r + 1)^2 texels, outside counting as 0.
inline double shrink(const Pixels& weights, int channel, uint32_t x, uint32_t y, int r, double w) {
    double sum = 0;
    for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx) {
            const int px = int(x) + dx, py = int(y) + dy;
            if (px >= 0 && py >= 0 && px < int(weights.width) && py < int(weights.height))
                sum += weights.at(uint32_t(px), uint32_t(py), channel);
        }
    return std::max(1 + r * (w * sum / double((2 * r + 1) * (2 * r + 1)) - 1), 0.0);
}

}  // namespace ColorReference
