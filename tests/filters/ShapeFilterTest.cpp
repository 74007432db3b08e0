#include <gtest/gtest.h>

#include <cmath>

#include "FilterPassFixture.h"
#include "filters/MosaicFilter.h"
#include "filters/NoiseReductionFilter.h"
#include "filters/ShapeFilter.h"

namespace {

// Colour steps with a little grain, on a soft alpha.
std::array<double, 4> grainy(uint32_t x, uint32_t y) {
    const double a = std::clamp(0.3 + 0.05 * x, 0.0, 1.0);
    const double grain = ((x * 37 + y * 91) % 7) * 0.01;
    const double r = (x < 10 ? 0.2 : 0.8) + grain, g = 0.5 + grain * 2, b = (y < 8 ? 0.1 : 0.7) - grain;
    return {r * a, g * a, b * a, a};
}

using SharpenTest = FilterPassFixture;

TEST_F(SharpenTest, PushesAwayFromTheBlur) {
    struct Case {
        double strength;
        int range;
    };
    const Case cases[] = {{50, 5}, {400, 2}, {800, 1}, {100, 0}};
    auto filter = make<Effect::ShapeFilter>();
    const Pixels source = makePixels(22, 18, grainy);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "strength " << c.strength << " range " << c.range);
        set(filter->strength, c.strength);
        set(filter->range, c.range);
        auto result = filter->filterVideo(context, upload(source));
        ASSERT_TRUE(result);
        const Pixels blurred = CpuBlur::blur(source, c.range, 0, 2);
        Pixels expected = source;
        for (size_t i = 0; i < expected.rgba.size(); i += 4)
            for (int k = 0; k < 3; ++k)
                expected.rgba[i + k] =
                    std::clamp(source.rgba[i + k] + (source.rgba[i + k] - blurred.rgba[i + k]) * c.strength * 0.01, 0.0,
                               source.rgba[i + 3]);
        EXPECT_LT(maxDifference(download(*result), expected), 6e-3);
    }
}

using MosaicTest = FilterPassFixture;

Pixels mosaic(const Pixels& s, int a) {
    const long ox = long(s.width % (2 * a) / 2), oy = long(s.height % (2 * a) / 2);
    Pixels t(s.width, s.height);
    for (uint32_t y = 0; y < s.height; ++y)
        for (uint32_t x = 0; x < s.width; ++x) {
            const long i = long((x + 0.5 + a - ox) / a), j = long((y + 0.5 + a - oy) / a);
            for (int c = 0; c < 4; ++c) {
                double sum = 0;
                for (long dy = 0; dy < a; ++dy)
                    for (long dx = 0; dx < a; ++dx)
                        sum += CpuPass::clamped(s, i * a + ox - a + dx, j * a + oy - a + dy)[c];
                t.at(x, y, c) = sum / (a * a);
            }
        }
    return t;
}

TEST_F(MosaicTest, CellsOfAveragedColourOnACentredGrid) {
    struct Case {
        uint32_t width, height;
        int size;
    };
    // 21 x 20 with 2: ox = 1, oy = 0 (the grid centred like 105 x 100 with 10).
    const Case cases[] = {{21, 20, 2}, {23, 17, 5}, {20, 20, 4}, {9, 7, 12}};
    auto filter = make<Effect::MosaicFilter>();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << " size " << c.size);
        const Pixels source = makePixels(c.width, c.height, grainy);
        set(filter->size, c.size);
        auto result = filter->filterVideo(context, upload(source));
        ASSERT_TRUE(result);
        EXPECT_LT(maxDifference(download(*result), mosaic(source, c.size)), 3e-3);
    }
    set(filter->size, 1);
    auto image = upload(makePixels(6, 6, grainy));
    EXPECT_EQ(filter->filterVideo(context, image).get(), image.get());
}

using NoiseReductionTest = FilterPassFixture;

Pixels reduced(const Pixels& s, double strength, int r, double threshold) {
    const double level = strength * 0.01 / ((2 * r + 1) * (2 * r + 1)), limit = threshold / 512;
    Pixels t = s;
    for (uint32_t y = 0; y < s.height; ++y)
        for (uint32_t x = 0; x < s.width; ++x) {
            const auto c = CpuPass::texel(s, x, y);
            if (c[3] < 0.001) continue;
            for (int k = 0; k < 3; ++k) {
                double sum = 0;
                for (int dy = -r; dy <= r; ++dy)
                    for (int dx = -r; dx <= r; ++dx) {
                        const auto n = CpuPass::texel(s, long(x) + dx, long(y) + dy);
                        const double d = n[k] - c[k],
                                     m = std::min(
                                         {std::max(std::abs(d) - std::max(2 * (std::abs(d) - limit), 0.0), 0.0), c[3],
                                          n[3]});
                        sum += d < 0 ? -m : d > 0 ? m : 0;
                    }
                t.at(x, y, k) = c[k] + sum * level;
            }
        }
    return t;
}

TEST_F(NoiseReductionTest, SmallDifferencesAveragedEdgesKept) {
    struct Case {
        double strength;
        int range;
        double threshold;
    };
    const Case cases[] = {{100, 2, 20}, {60, 1, 5}, {100, 4, 200}, {100, 2, 0}};
    auto filter = make<Effect::NoiseReductionFilter>();
    const Pixels source = makePixels(20, 16, grainy);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "strength " << c.strength << " range " << c.range << " threshold "
                                        << c.threshold);
        set(filter->strength, c.strength);
        set(filter->range, c.range);
        set(filter->threshold, c.threshold);
        auto result = filter->filterVideo(context, upload(source));
        ASSERT_TRUE(result);
        EXPECT_LT(maxDifference(download(*result), reduced(source, c.strength, c.range, c.threshold)), 3e-3);
    }
}

}  // namespace
