#include <gtest/gtest.h>

#include <cmath>

#include "FilterPassFixture.h"
#include "filters/BloomFilter.h"
#include "filters/DiffusionFilter.h"
#include "filters/FlashFilter.h"

namespace {

// Bright blobs on a dim, partly transparent ground.
std::array<double, 4> blobs(uint32_t x, uint32_t y) {
    const double spot = std::max(std::exp(-(std::pow(x - 6.0, 2) + std::pow(y - 5.0, 2)) / 5.0),
                                 std::exp(-(std::pow(x - 15.0, 2) + std::pow(y - 11.0, 2)) / 3.0));
    const double a = y < 2 ? 0.6 : 1.0;
    const double v = std::min(1.0, 0.15 + 0.02 * (x % 4) + spot);
    return {v * a, v * 0.8 * a, v * 0.5 * a, a};
}

const std::array<double, 3> kTint = {1, 128 / 255.0, 64 / 255.0};

using BloomTest = FilterPassFixture;

Pixels bloom(const Pixels& s, double strength, int spread, double threshold, int speed, bool tinted, bool keep) {
    float e = float(strength) * 0.01f;
    if (e > 1) e += 2 * (e - 1);
    const double gain = e * 1.25f;
    Pixels light = CpuPass::extractBright(s, threshold * 0.01, gain, gain);
    if (tinted) light = CpuPass::tint(light, kTint);
    Pixels result = keep ? s : CpuPass::over(Pixels(s.width + 2 * spread, s.height + 2 * spread), s, spread, spread);
    int radius = spread;
    for (int layer = 0; layer < 4; ++layer) {
        const Pixels blurred = CpuBlur::blur(light, radius, 0, keep ? 1 : 0);
        CpuPass::add(result, blurred, -((long(blurred.width) - long(result.width)) / 2),
                     -((long(blurred.height) - long(result.height)) / 2), false);
        radius = (speed + 50) * radius / 100;
    }
    return result;
}

TEST_F(BloomTest, LayeredBlursOfTheBrightParts) {
    struct Case {
        const char* what;
        double strength;
        int spread;
        double threshold;
        int speed;
        bool tinted, keep;
    };
    const Case cases[] = {
        {"defaults, smaller spread: radii D, D/2, D/4, D/8", 100, 16, 80, 0, false, false},
        {"strength 200: gain 5", 200, 12, 60, 20, false, false},
        {"speed 60: wider layers cropped", 80, 10, 50, 60, true, false},
        {"size fixed", 150, 10, 50, 10, true, true},
    };
    auto filter = make<Effect::BloomFilter>();
    filter->color.red = 255, filter->color.green = 128, filter->color.blue = 64;
    const Pixels source = makePixels(22, 16, blobs);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        set(filter->strength, c.strength);
        set(filter->diffusion, c.spread);
        set(filter->threshold, c.threshold);
        set(filter->diffusionSpeed, c.speed);
        filter->color.unset = !c.tinted;
        filter->fixedSize.value = c.keep;
        auto result = filter->filterVideo(context, upload(source));
        ASSERT_TRUE(result);
        const Pixels expected = bloom(source, c.strength, c.spread, c.threshold, c.speed, c.tinted, c.keep);
        EXPECT_LT(CpuPass::relativeDifference(download(*result), expected), 5e-3);
    }
}

using FlashTest = FilterPassFixture;

TEST_F(FlashTest, RadialLightWithTheImageInFrontBehindOrLeftOut) {
    struct Case {
        const char* what;
        double strength, x, y;
        int mode;
        bool tinted, keep;
    };
    const Case cases[] = {
        {"in front, centred", 100, 0, 0, 0, false, false},
        {"behind, centre moved, weaker", 60, 5, -3, 1, true, false},
        {"the light alone", 100, -4, 2, 2, false, false},
        {"size fixed", 30, 3, 3, 0, true, true},
    };
    auto filter = make<Effect::FlashFilter>();
    filter->color.red = 255, filter->color.green = 128, filter->color.blue = 64;
    const Pixels source = makePixels(16, 12, blobs);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        set(filter->strength, c.strength);
        set(filter->x, c.x);
        set(filter->y, c.y);
        filter->blend.index = c.mode;
        filter->color.unset = !c.tinted;
        filter->fixedSize.value = c.keep;
        context.view.centerX = context.view.centerY = 0;
        auto result = filter->filterVideo(context, upload(source));
        ASSERT_TRUE(result);

        float pairX = 0, pairY = 0;
        Pixels expected = CpuPass::radial(source, 75, float(c.x), float(c.y), c.keep, pairX, pairY);
        EXPECT_FLOAT_EQ(context.view.centerX, pairX);
        EXPECT_FLOAT_EQ(context.view.centerY, pairY);
        if (c.tinted) expected = CpuPass::tint(expected, kTint);
        const double k = std::min(1.0, c.strength * 0.01);
        for (double& v : expected.rgba) v *= k;
        const long ox = std::lround((float(source.width) - float(expected.width)) * 0.5f - pairX);
        const long oy = std::lround((float(source.height) - float(expected.height)) * 0.5f - pairY);
        if (c.mode == 0) CpuPass::add(expected, source, -ox, -oy, true);
        if (c.mode == 1) expected = CpuPass::over(expected, source, -ox, -oy);
        const Pixels out = download(*result);
        ASSERT_EQ(out.width, expected.width);
        ASSERT_EQ(out.height, expected.height);
        // A radial tap may land on the next pixel by float rounding: count the pixels off.
        size_t off = 0;
        for (size_t i = 0; i < out.rgba.size(); i += 4)
            for (int ch = 0; ch < 4; ++ch)
                if (std::abs(out.rgba[i + ch] - expected.rgba[i + ch]) > 5e-3) {
                    ++off;
                    break;
                }
        EXPECT_LE(off, out.rgba.size() / 4 / 100);
    }
}

using DiffusionTest = FilterPassFixture;

TEST_F(DiffusionTest, HazeOverTheSharpImage) {
    struct Case {
        const char* what;
        double strength;
        int spread;
        bool keep;
    };
    const Case cases[] = {
        {"defaults", 50, 6, false},
        {"full strength, size fixed", 100, 4, true},
        {"strength 0: the sharp image in the grown one", 0, 5, false},
    };
    auto filter = make<Effect::DiffusionFilter>();
    const Pixels source = makePixels(20, 14, blobs);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        set(filter->strength, c.strength);
        set(filter->diffusion, c.spread);
        filter->fixedSize.value = c.keep;
        auto result = filter->filterVideo(context, upload(source));
        ASSERT_TRUE(result);
        const Pixels blurred = CpuBlur::blur(source, c.spread, 0, c.keep ? 1 : 0);
        const long at = long(blurred.width - source.width) >> 1;
        Pixels haze(blurred.width, blurred.height);
        for (uint32_t y = 0; y < haze.height; ++y)
            for (uint32_t x = 0; x < haze.width; ++x) {
                const auto sharp = CpuPass::texel(source, long(x) - at, long(y) - at);
                const double ba = blurred.at(x, y, 3);
                for (int k = 0; k < 3; ++k)
                    haze.at(x, y, k) = std::max(blurred.at(x, y, k), sharp[k] * ba) * c.strength * 0.01;
                haze.at(x, y, 3) = ba * c.strength * 0.01;
            }
        const Pixels expected =
            CpuPass::over(CpuPass::over(Pixels(haze.width, haze.height), source, at, at), haze, 0, 0);
        EXPECT_LT(maxDifference(download(*result), expected), 4e-3);
    }
}

}  // namespace
