#include <gtest/gtest.h>

#include <cmath>

#include "FilterPassFixture.h"
#include "filters/LightFilter.h"

namespace {

// A soft shape, opaque inside.
std::array<double, 4> shape(uint32_t x, uint32_t y) { return CpuPass::disc(x, y, 11, 9, 7); }

Pixels lit(Pixels s, double strength, int r, double ratio, bool back, const std::array<double, 3>& colour) {
    float outer = float(strength) * 0.01f;
    const float q = float(ratio) * 0.01f;
    float inner = outer;
    if (q > 0)
        inner = (1 - q) * outer;
    else if (q < 0)
        outer *= 1 + q;
    const double n = 2 * r + 1;
    const long w = s.width, h = s.height;
    if (inner > 0) {
        // The spread alpha (or inverse alpha) down, then across, added where opaque.
        Pixels down(w, h);
        for (long y = 0; y < h; ++y)
            for (long x = 0; x < w; ++x) {
                double sum = 0;
                for (long dy = -r; dy <= r; ++dy) {
                    const double a = CpuPass::texel(s, x, y + dy)[3];
                    sum += back ? 1 - a : a;
                }
                down.at(x, y, 3) = sum / n;
            }
        const double weight = (back ? inner : inner * 0.5) / n;
        Pixels out = s;
        for (long y = 0; y < h; ++y)
            for (long x = 0; x < w; ++x) {
                double sum = 0;
                for (long dx = -r; dx <= r; ++dx) sum += CpuPass::texel(down, x + dx, y)[3];
                const double v = sum * weight, da = s.at(x, y, 3);
                for (int c = 0; c < 3; ++c) out.at(x, y, c) += v * colour[c] * da;
            }
        s = out;
    }
    if (outer <= 0) return s;
    Pixels glow(w + 2 * r, h + 2 * r);
    // Trailing boxes into the grown image: down, then across.
    Pixels down(w, h + 2 * r);
    for (long y = 0; y < h + 2 * r; ++y)
        for (long x = 0; x < w; ++x) {
            double sum = 0;
            for (long k = -2 * r; k <= 0; ++k) sum += CpuPass::texel(s, x, y + k)[3];
            down.at(x, y, 3) = sum / n;
        }
    for (long y = 0; y < h + 2 * r; ++y)
        for (long x = 0; x < w + 2 * r; ++x) {
            double sum = 0;
            for (long k = -2 * r; k <= 0; ++k) sum += CpuPass::texel(down, x + k, y)[3];
            const double v = sum * outer / n;
            for (int c = 0; c < 3; ++c) glow.at(x, y, c) = v * colour[c];
            glow.at(x, y, 3) = v;
        }
    return CpuPass::over(glow, s, r, r);
}

using LightTest = FilterPassFixture;

TEST_F(LightTest, InnerAndOuterLightOfTheSilhouette) {
    struct Case {
        const char* what;
        double strength;
        int spread;
        double ratio;
        bool back;
    };
    const Case cases[] = {
        {"defaults", 100, 5, 0, false},
        {"ratio 100: outer light only", 150, 4, 100, false},
        {"ratio -100: inner light only, same size", 200, 4, -100, false},
        {"backlight, part inner", 120, 3, -40, true},
        {"spread 0: one tap", 80, 0, 30, false},
    };
    auto filter = make<Effect::LightFilter>();
    filter->color.red = 255, filter->color.green = 220, filter->color.blue = 120;
    const Pixels source = makePixels(22, 18, shape);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        set(filter->strength, c.strength);
        set(filter->diffusion, c.spread);
        set(filter->ratio, c.ratio);
        filter->backlight.value = c.back;
        auto result = filter->filterVideo(context, upload(source));
        ASSERT_TRUE(result);
        const Pixels expected = lit(source, c.strength, c.spread, c.ratio, c.back, {1, 220 / 255.0, 120 / 255.0});
        EXPECT_LT(CpuPass::relativeDifference(download(*result), expected), 4e-3);
    }
    set(filter->strength, 0);
    auto image = upload(source);
    EXPECT_EQ(filter->filterVideo(context, image).get(), image.get());
}

// Backlight on an opaque image: the inner light comes only from outside the
// borders, through the taps of the vertical box (the horizontal box reads its
// spread alpha as transparent beyond the sides).
TEST_F(LightTest, BacklightShowsNearTheBordersOfAnOpaqueImage) {
    auto filter = make<Effect::LightFilter>();
    set(filter->diffusion, 3);
    set(filter->ratio, -100);
    filter->backlight.value = true;
    const Pixels grey = makePixels(16, 16, [](uint32_t, uint32_t) -> std::array<double, 4> {
        return {0.2, 0.2, 0.2, 1};
    });
    const Pixels out = download(*filter->filterVideo(context, upload(grey)));
    ASSERT_EQ(out.width, 16u);
    EXPECT_NEAR(out.at(8, 0, 0), 0.2 + 3.0 / 7, 2e-3);
    EXPECT_NEAR(out.at(8, 15, 2), 0.2 + 3.0 / 7, 2e-3);
    EXPECT_NEAR(out.at(8, 8, 0), 0.2, 1e-3);
    EXPECT_NEAR(out.at(0, 8, 0), 0.2, 1e-3);
    EXPECT_NEAR(out.at(8, 0, 3), 1.0, 1e-3);
}

}  // namespace
