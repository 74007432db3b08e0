#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "FilterPassFixture.h"
#include "filters/GlowFilter.h"

namespace {

// Two bright spots and a dim ramp on an opaque ground, so that some pixels
// pass the threshold and most do not.
std::array<double, 4> spots(uint32_t x, uint32_t y) {
    const double spot = std::max(std::exp(-(std::pow(x - 7.0, 2) + std::pow(y - 6.0, 2)) / 6.0),
                                 std::exp(-(std::pow(x - 16.0, 2) + std::pow(y - 13.0, 2)) / 4.0));
    const double base = 0.1 + 0.02 * (x % 5);
    return {std::min(1.0, base + spot), std::min(1.0, base + 0.8 * spot), std::min(1.0, base + 0.5 * spot), 1};
}

// One two-sided streak of the source added into the target, centres aligned.
void streak(Pixels& target, const Pixels& source, float length, float ratio, float angle) {
    if (length <= 0) return;
    const float theta = angle * 0.017453292f;
    const int n =
        std::max(5, int(std::ceil(std::min(std::hypot(double(source.width), double(source.height)), double(length)))));
    const float ox = (float(source.width) - float(target.width)) * 0.5f;
    const float oy = (float(source.height) - float(target.height)) * 0.5f;
    const float sx = -std::sin(theta) * length / float(n), sy = std::cos(theta) * length / float(n);
    Pixels drawn(target.width, target.height);
    for (uint32_t y = 0; y < target.height; ++y)
        for (uint32_t x = 0; x < target.width; ++x) {
            const float px = float(x) + 0.5f + ox, py = float(y) + 0.5f + oy;
            std::array<double, 4> sum{};
            double total = 0;
            auto tap = [&](float fx, float fy, int i) {
                const double t = std::clamp(double(n - i) / n, 0.0, 1.0), w = t * t * (3 - 2 * t);
                const auto v = CpuPass::texel(source, long(fx), long(fy));
                for (int c = 0; c < 4; ++c) sum[c] += w * v[c];
                total += w;
            };
            for (int i = 0; i < n; ++i) tap(px + sx * float(i), py + sy * float(i), i);
            for (int i = 1; i < n; ++i) tap(px - sx * (float(i) * ratio), py - sy * (float(i) * ratio), i);
            for (int c = 0; c < 4; ++c) drawn.at(x, y, c) = sum[c] / total;
        }
    CpuPass::add(target, drawn, 0, 0, false);
}

void addCentred(Pixels& target, const Pixels& source) {
    CpuPass::add(target, source, -((long(source.width) - long(target.width)) / 2),
                 -((long(source.height) - long(target.height)) / 2), false);
}

struct Settings {
    double strength;
    int spread;
    double angle, threshold, ratio;
    int blur, shape;
    bool tinted, lightOnly, fixedSize;
};

// The glow on the CPU.
Pixels glow(const Pixels& s, const Settings& c, const std::array<double, 3>& colour) {
    float gain = float(c.strength) * 0.01f * 32.0f;
    if (c.shape == 0) gain *= 4;
    Pixels light = CpuPass::extractBright(s, c.threshold * 0.01, gain, gain);
    if (c.tinted) light = CpuPass::tint(light, colour);
    const uint32_t grow = c.fixedSize ? 0 : 2 * c.spread;
    Pixels g(s.width + grow, s.height + grow);
    const float f = float(c.spread), h = float(c.ratio * 0.01), i = h * f, a = float(c.angle);
    struct Ray {
        float length, ratio, angle;
    };
    std::vector<Ray> rays;
    switch (c.shape) {
    case 1: rays = {{f, 1, a}, {i, 1, a + 90}}; break;
    case 2: rays = {{f, h, a}, {f, h, a + 120}, {f, h, a - 120}}; break;
    case 3: rays = {{f, 1, a}, {i, 1, a + 45}, {f, 1, a + 90}, {i, 1, a - 45}}; break;
    case 4: rays = {{f, h, a}, {f, h, a + 72}, {f, h, a + 144}, {f, h, a + 216}, {f, h, a + 288}}; break;
    case 5:
        for (int k = 0; k < 6; ++k) rays.push_back({k % 2 == 0 ? f : i, 1, a + 30.0f * float(k)});
        break;
    case 6: rays = {{i, 1, a + 90}}; break;
    default: {
        const Pixels near = CpuBlur::blur(light, c.spread / 2, 0, 0);
        addCentred(g, near);
        addCentred(g, CpuPass::expandBlur(near, c.spread - c.spread / 2));
    }
    }
    for (const Ray& ray : rays) streak(g, light, ray.length, ray.ratio, ray.angle);
    g = CpuPass::expandBlur(g, c.blur);
    if (c.lightOnly) return g;
    CpuPass::add(g, s, -((long(s.width) - long(g.width)) / 2), -((long(s.height) - long(g.height)) / 2), true);
    return g;
}

using GlowTest = FilterPassFixture;

TEST_F(GlowTest, StreaksAndHalosOfTheBrightParts) {
    struct Case {
        const char* what;
        Settings settings;
        uint32_t expectWidth, expectHeight;
    };
    const Case cases[] = {
        {"cross of four, softened", {40, 8, 25, 50, 100, 1, 1, false, false, false}, 42, 38},
        {"halo", {30, 7, 0, 40, 100, 0, 0, false, false, false}, 38, 34},
        {"cross of six, half backward, tinted, size fixed", {60, 6, -10, 45, 50, 0, 2, true, false, true}, 24, 20},
        {"cross of eight, short diagonals", {50, 5, 15, 50, 40, 0, 3, false, false, false}, 34, 30},
        {"cross of ten", {50, 4, 0, 50, 70, 2, 4, false, false, false}, 36, 32},
        {"cross of twelve, light only", {50, 5, 30, 50, 60, 0, 5, false, true, false}, 34, 30},
        {"line", {80, 6, 0, 50, 100, 0, 6, false, false, false}, 36, 32},
        {"line of ratio 0: no light", {80, 6, 0, 50, 0, 0, 6, false, false, false}, 36, 32},
        {"strength 0: the image padded", {0, 5, 0, 50, 100, 1, 1, false, false, false}, 36, 32},
    };
    auto filter = make<Effect::GlowFilter>();
    const Pixels source = makePixels(24, 20, spots);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Settings& s = c.settings;
        set(filter->strength, s.strength);
        set(filter->diffusion, s.spread);
        set(filter->angle, s.angle);
        set(filter->threshold, s.threshold);
        set(filter->ratio, s.ratio);
        set(filter->blur, s.blur);
        filter->shape.index = s.shape;
        filter->color.unset = !s.tinted;
        filter->color.red = 255, filter->color.green = 64, filter->color.blue = 32;
        filter->lightOnly.value = s.lightOnly;
        filter->fixedSize.value = s.fixedSize;
        auto result = filter->filterVideo(context, upload(source));
        ASSERT_TRUE(result);
        EXPECT_EQ(result->width, c.expectWidth);
        EXPECT_EQ(result->height, c.expectHeight);
        const Pixels expected = glow(source, s, {1, 64 / 255.0, 32 / 255.0});
        EXPECT_LT(CpuPass::relativeDifference(download(*result), expected), 5e-3);
    }
}

}  // namespace
