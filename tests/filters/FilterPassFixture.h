#pragma once
// Filters drawn on lavapipe, with the prototypes whose routines they borrow
// ("ぼかし" and "放射ブラー") registered in an effect service of their own,
// and CPU helpers in double precision to compare their passes with.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "BlurFixture.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectService.h"
#include "effect/RenderContext.h"
#include "filters/BlurFilter.h"
#include "filters/BokashiFilter.h"

namespace CpuPass {

// A texel, transparent black outside.
inline std::array<double, 4> texel(const Pixels& s, long x, long y) {
    if (x < 0 || y < 0 || x >= long(s.width) || y >= long(s.height)) return {0, 0, 0, 0};
    return {s.at(x, y, 0), s.at(x, y, 1), s.at(x, y, 2), s.at(x, y, 3)};
}
// A texel with the position clamped to the image.
inline std::array<double, 4> clamped(const Pixels& s, long x, long y) {
    return texel(s, std::clamp(x, 0L, long(s.width) - 1), std::clamp(y, 0L, long(s.height) - 1));
}

// Premultiplied source over destination.
inline Pixels over(Pixels under, const Pixels& top, long atX, long atY) {
    for (uint32_t y = 0; y < under.height; ++y)
        for (uint32_t x = 0; x < under.width; ++x) {
            const auto s = texel(top, long(x) - atX, long(y) - atY);
            for (int c = 0; c < 4; ++c) under.at(x, y, c) = s[c] + under.at(x, y, c) * (1 - s[3]);
        }
    return under;
}

}  // namespace CpuPass

class FilterPassFixture : public BlurFixture {
protected:
    void SetUp() override {
        BlurFixture::SetUp();
        Effect::EffectService::setCatalog(&catalog_);
        service_ = std::make_unique<Effect::EffectService>();
    }
    void TearDown() override {
        service_.reset();
        Effect::EffectService::setCatalog(nullptr);
        BlurFixture::TearDown();
    }

    // A filter with its class resource made.
    template <class T>
    static std::shared_ptr<T> make() {
        auto filter = std::make_shared<T>();
        filter->createCommonResource();
        return filter;
    }
    // The value as the item stores it, in units of its step.
    static void set(Effect::EffectItemNumber& item, double value) {
        item.values = {int32_t(std::lround(value * item.scale))};
    }

    Render::RenderContext context;

private:
    struct Prototypes : Effect::EffectService::Catalog {
        void registerLeading(Effect::EffectService& service) override {
            service.registerEffect<Effect::BokashiFilter>();
            service.registerEffect<Effect::BlurFilter>();
        }
        void registerTrailing(Effect::EffectService&) override {}
    };
    Prototypes catalog_;
    std::unique_ptr<Effect::EffectService> service_;
};

namespace CpuPass {

// A soft disc of premultiplied colour on transparency, opaque inside.
inline std::array<double, 4> disc(uint32_t x, uint32_t y, double cx, double cy, double radius) {
    const double a = std::clamp(radius - std::hypot(x + 0.5 - cx, y + 0.5 - cy), 0.0, 1.0);
    return {0.2 * a, 0.5 * a, 0.9 * a, a};
}

// A bilinear sample at the normalised position, transparent outside.
inline std::array<double, 4> sample(const Pixels& s, double u, double v) {
    const double x = u * s.width - 0.5, y = v * s.height - 0.5;
    const long x0 = long(std::floor(x)), y0 = long(std::floor(y));
    const double fx = x - x0, fy = y - y0;
    std::array<double, 4> out{};
    const auto a = texel(s, x0, y0), b = texel(s, x0 + 1, y0), c = texel(s, x0, y0 + 1), d = texel(s, x0 + 1, y0 + 1);
    for (int i = 0; i < 4; ++i) out[i] = (a[i] * (1 - fx) + b[i] * fx) * (1 - fy) + (c[i] * (1 - fx) + d[i] * fx) * fy;
    return out;
}

// The mean of factor x factor blocks, positions clamped to the image.
inline Pixels shrink(const Pixels& s, int factor) {
    Pixels t((s.width + factor - 1) / factor, (s.height + factor - 1) / factor);
    for (uint32_t y = 0; y < t.height; ++y)
        for (uint32_t x = 0; x < t.width; ++x)
            for (int c = 0; c < 4; ++c) {
                double sum = 0;
                for (int j = 0; j < factor; ++j)
                    for (int i = 0; i < factor; ++i) sum += clamped(s, long(x) * factor + i, long(y) * factor + j)[c];
                t.at(x, y, c) = sum / (factor * factor);
            }
    return t;
}

}  // namespace CpuPass

namespace CpuPass {

// The largest channel difference relative to 1 + the expected value: for
// images whose light runs well above 1 in half precision.
inline double relativeDifference(const Pixels& got, const Pixels& expected) {
    EXPECT_EQ(got.width, expected.width);
    EXPECT_EQ(got.height, expected.height);
    if (got.width != expected.width || got.height != expected.height) return 1e9;
    double worst = 0;
    for (size_t i = 0; i < got.rgba.size(); ++i)
        worst = std::max(worst, std::abs(got.rgba[i] - expected.rgba[i]) / (1 + std::abs(expected.rgba[i])));
    return worst;
}

// What lies above the threshold in luma, scaled and limited.
inline Pixels extractBright(Pixels s, double threshold, double ratio, double limit) {
    for (size_t i = 0; i < s.rgba.size(); i += 4) {
        const double k =
            std::max(0.299 * s.rgba[i] + 0.587 * s.rgba[i + 1] + 0.114 * s.rgba[i + 2] - threshold, 0.0) * ratio;
        for (int c = 0; c < 3; ++c) s.rgba[i + c] = std::min(s.rgba[i + c] * k, limit);
        s.rgba[i + 3] = std::min(k, 1.0);
    }
    return s;
}

// The colour in the shape of the alpha.
inline Pixels tint(Pixels s, const std::array<double, 3>& colour) {
    for (size_t i = 0; i < s.rgba.size(); i += 4)
        for (int c = 0; c < 3; ++c) s.rgba[i + c] = colour[c] * s.rgba[i + 3];
    return s;
}

// Colours added; alpha over (under false) or under (under true). The top
// image placed at (atX, atY) of the target.
inline void add(Pixels& target, const Pixels& top, long atX, long atY, bool under) {
    for (uint32_t y = 0; y < target.height; ++y)
        for (uint32_t x = 0; x < target.width; ++x) {
            const auto s = texel(top, long(x) - atX, long(y) - atY);
            const double da = target.at(x, y, 3);
            for (int c = 0; c < 3; ++c) target.at(x, y, c) += s[c];
            target.at(x, y, 3) = under ? s[3] * (1 - da) + da : s[3] + da * (1 - s[3]);
        }
}

// Two trailing boxes of the radius, growing by it on each side.
inline Pixels expandBlur(const Pixels& s, int radius) {
    if (radius <= 0) return s;
    const Pixels down = CpuBlur::box(s, true, radius, 0, s.height + 2 * radius);
    return CpuBlur::box(down, false, radius, 0, s.width + 2 * radius);
}

}  // namespace CpuPass

namespace CpuPass {

// The radial blur on the CPU, with the sizes and steps in single precision as drawn.
inline Pixels radial(const Pixels& s, float strength, float x, float y, bool keep, float& centreX, float& centreY) {
    const int w = int(s.width), h = int(s.height);
    const float cx = float(w) * 0.5f + x, cy = float(h) * 0.5f + y, k = 100.0f / (100.0f - strength);
    int left = std::min(0, int(cx - k * cx - 0.5f)), top = std::min(0, int(cy - k * cy - 0.5f));
    int right = std::max(w, int(cx - (cx - float(w)) * k + 0.5f));
    int bottom = std::max(h, int(cy - (cy - float(h)) * k + 0.5f));
    const int gx = std::max(std::abs(left), std::abs(right - w)), gy = std::max(std::abs(top), std::abs(bottom - h));
    const int n = std::max(10, int(std::hypot(double(std::min(gx, w)), double(std::min(gy, h)))));
    const float step = strength * 0.01f / float(n);
    if (keep) {
        left = top = 0, right = w, bottom = h;
    } else {
        right = std::min(right, left + 16384);
        bottom = std::min(bottom, top + 16384);
        centreX -= float(right - w + left) * 0.5f;
        centreY -= float(bottom - h + top) * 0.5f;
    }
    Pixels t(uint32_t(right - left), uint32_t(bottom - top));
    for (uint32_t qy = 0; qy < t.height; ++qy)
        for (uint32_t qx = 0; qx < t.width; ++qx) {
            const float px = float(qx) + 0.5f + float(left), py = float(qy) + 0.5f + float(top);
            const float dx = cx - px, dy = cy - py;
            std::array<double, 4> sum{};
            for (int i = 0; i < n; ++i) {
                const auto v = texel(s, long(px + dx * (step * float(i))), long(py + dy * (step * float(i))));
                for (int c = 0; c < 4; ++c) sum[c] += v[c];
            }
            for (int c = 0; c < 4; ++c) t.at(qx, qy, c) = sum[c] / n;
        }
    return t;
}

}  // namespace CpuPass
