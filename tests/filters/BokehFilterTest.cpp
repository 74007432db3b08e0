#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "FilterPassFixture.h"
#include "filters/BokehFilter.h"
#include "media/figure/FigureList.h"

namespace {

// Bright points on a dim, partly transparent ground.
std::array<double, 4> points(uint32_t x, uint32_t y) {
    const bool bright = (x == 6 && y == 5) || (x == 15 && y == 12);
    const double a = x < 2 ? 0.5 : 1.0;
    const double v = bright ? 1.0 : 0.15 + 0.01 * ((x * 3 + y) % 7);
    return {v * a, v * 0.9 * a, v * 0.6 * a, a};
}

class LensBlurTest : public FilterPassFixture {
protected:
    void SetUp() override {
        FilterPassFixture::SetUp();
        resources().figures = std::make_shared<Resource::FigureList>(resources().paths);
    }
    void TearDown() override {
        resources().figures.reset();
        FilterPassFixture::TearDown();
    }
    // The figure's mask as the filter draws it, alpha by row, top first.
    std::vector<double> maskOf(int32_t figure, uint32_t side) {
        auto mask = resources().figures->createMask(figure, side, side);
        const auto bytes = readBack(*mask->texture);
        std::vector<double> alpha(bytes.size());
        for (size_t i = 0; i < bytes.size(); ++i) alpha[i] = bytes[i] / 255.0;
        EXPECT_EQ(alpha.size(), size_t(side) * side);
        return alpha;
    }
};

// The lens kernel on the CPU: direct taps, or bilinear samples of the reduced
// image; at every stride-th pixel across and down (the others stay 0).
Pixels lens(const Pixels& s, const std::vector<double>& mask, int r, bool keep, uint32_t stride) {
    const int d = 2 * r + 1;
    const uint32_t grow = keep ? 0 : 2 * r;
    Pixels t(s.width + grow, s.height + grow);
    const double sw = s.width, sh = s.height, tw = t.width, th = t.height;
    int n = d, factor = 1;
    double offX = (sw - tw - d) * 0.5, offY = (sh - th + d) * 0.5, a = 1 / sw, b = 1 / sh;
    Pixels reduced;
    if (d > 80) {
        factor = d / 80 + 1, n = (factor + d) / factor;
        reduced = CpuPass::shrink(s, factor);
        offX = a * (sw - tw) * 0.5 - (n - 1) * factor * a * 0.5;
        offY = (n + 1) * factor * b * 0.5 + b * (sh - th) * 0.5;
    }
    for (uint32_t y = 0; y < t.height; y += stride)
        for (uint32_t x = 0; x < t.width; x += stride) {
            std::array<double, 4> sum{};
            double total = 0;
            for (int j = 0; j < n; ++j)
                for (int i = 0; i < n; ++i) {
                    const double w = mask[size_t(j) * n + i];
                    std::array<double, 4> tap;
                    if (d > 80) {
                        double u = (x + 0.5) * a + offX + i * factor * a,
                               v = (y + 0.5) * b + offY - (j + 1) * factor * b;
                        if (keep) {  // clamped addressing
                            u = std::clamp(u, 0.5 / reduced.width, 1 - 0.5 / reduced.width);
                            v = std::clamp(v, 0.5 / reduced.height, 1 - 0.5 / reduced.height);
                        }
                        tap = CpuPass::sample(reduced, u, v);
                    } else {
                        const long px = long(x + 0.5 + offX + i), py = long(y + 0.5 + offY - 1 - j);
                        tap = keep ? CpuPass::clamped(s, px, py) : CpuPass::texel(s, px, py);
                    }
                    for (int c = 0; c < 4; ++c) sum[c] += w * tap[c];
                    total += w;
                }
            for (int c = 0; c < 4; ++c) t.at(x, y, c) = sum[c] / total;
        }
    return t;
}

TEST_F(LensBlurTest, FigureWeightedBlurInLightSpace) {
    struct Case {
        const char* what;
        int range;
        double light;
        int figure;
        bool keep;
        double tolerance;
        uint32_t stride;  // of the pixels compared: large kernels cost the CPU much
    };
    const Case cases[] = {
        {"circle, grows", 4, 32, 1, false, 4e-3, 1},
        {"star, size fixed repeats the edges", 5, 20, 6, true, 4e-3, 1},
        {"heart, light 0", 3, 0, 7, false, 4e-3, 1},
        {"range 39: the last direct kernel", 39, 10, 2, true, 4e-3, 3},
        {"range 40: half-size copy, 41 taps", 40, 10, 1, false, 1.5e-2, 7},
    };
    auto filter = make<Effect::BokehFilter>();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Pixels source = makePixels(22, 18, points);
        set(filter->range, c.range);
        set(filter->light, c.light);
        filter->shape.index = c.figure;
        filter->fixedSize.value = c.keep;
        auto result = filter->filterVideo(context, upload(source));
        ASSERT_TRUE(result);
        const uint32_t grow = c.keep ? 0 : 2 * c.range;
        EXPECT_EQ(result->width, 22 + grow);
        EXPECT_EQ(result->height, 18 + grow);
        const int d = 2 * c.range + 1;
        const int taps = d > 80 ? (d / 80 + 1 + d) / (d / 80 + 1) : d;
        const double base = 1.0f + 0.15f * float(c.light);
        const Pixels expected = CpuBlur::fromLightSpace(lens(CpuBlur::lightSpace(source, base), maskOf(c.figure, taps),
                                                             c.range, c.keep, c.stride),
                                                        base);
        const Pixels out = download(*result);
        ASSERT_EQ(out.width, expected.width);
        double worst = 0;
        for (uint32_t y = 0; y < out.height; y += c.stride)
            for (uint32_t x = 0; x < out.width; x += c.stride)
                for (int k = 0; k < 4; ++k)
                    worst = std::max(worst, std::abs(out.at(x, y, k) - expected.at(x, y, k)) /
                                                (1 + std::abs(expected.at(x, y, k))));
        EXPECT_LT(worst, c.tolerance);
    }
}

// Range 0 still passes through light space, which clamps colour to 0 .. 1; a
// figure the list does not have leaves the blur out.
TEST_F(LensBlurTest, NoBlurStillClampsColour) {
    auto filter = make<Effect::BokehFilter>();
    const Pixels wild = makePixels(8, 6, [](uint32_t x, uint32_t) -> std::array<double, 4> {
        return {x < 4 ? 1.5 : -0.2, 0.5, 0.25, 1};
    });
    Pixels clamped = wild;
    for (size_t i = 0; i < clamped.rgba.size(); ++i) clamped.rgba[i] = std::clamp(clamped.rgba[i], 0.0, 1.0);
    for (int figure : {1, 999}) {
        SCOPED_TRACE(figure);
        set(filter->range, figure == 1 ? 0 : 3);
        filter->shape.index = figure;
        auto image = upload(wild);
        auto result = filter->filterVideo(context, image);
        ASSERT_TRUE(result);
        EXPECT_NE(result.get(), image.get());
        EXPECT_LT(maxDifference(download(*result), clamped), 4e-3);
    }
}

}  // namespace
