#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "BlurFixture.h"
#include "ColorFilterReference.h"
#include "SharedResourceFixture.h"
#include "effect/RenderContext.h"
#include "filters/ChromaKeyFilter.h"
#include "filters/ColorKeyFilter.h"
#include "filters/LuminanceKeyFilter.h"

using namespace ColorReference;

namespace {

class KeyingTest : public SharedResourceFixture {
protected:
    // A figure of many colours on a green screen whose shade varies, with a
    // transparent corner and a half transparent row.
    static Rgba greenScreen(uint32_t x, uint32_t y) {
        if (x < 2 && y < 2) return {0, 0, 0, 0};
        if (x >= 5 && x < 13 && y >= 3 && y < 9) return pattern(x, y);
        const double a = y == 11 ? 0.5 : 1;
        return {(0.05 + 0.01 * x) * a, (0.75 + 0.01 * y) * a, 0.1 * a, a};
    }
};

TEST_F(KeyingTest, ChromaKeyFollowsTheReference) {
    const Pixels source = makePixels(18, 12, greenScreen);
    struct Case {
        const char* what;
        double hueRange, saturationRange;
        int border;
        bool spill, soft;
    };
    const Case cases[] = {
        {"defaults", 16, 96, 1, false, false},
        {"no edge shrink", 16, 96, 0, false, false},
        {"narrow ranges, border 2", 4, 30, 2, false, false},
        {"soft transparency", 16, 40, 0, false, true},
        {"spill correction", 24, 96, 0, true, false},
        {"everything", 16, 96, 1, true, true},
    };
    const uint8_t keyBytes[3] = {20, 210, 30};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto filter = make<Effect::ChromaKeyFilter>();
        filter->key.red = keyBytes[0];
        filter->key.green = keyBytes[1];
        filter->key.blue = keyBytes[2];
        filter->key.unset = 0;
        filter->hueRange.setValue(c.hueRange, 0);
        filter->saturationRange.setValue(c.saturationRange, 0);
        filter->border.setValue(c.border, 0);
        filter->correctColor.value = c.spill;
        filter->correctAlpha.value = c.soft;
        auto result = filter->filterVideo(context, upload(source));
        ASSERT_TRUE(result);

        const KeySettings settings{{keyBytes[0] / 255.0, keyBytes[1] / 255.0, keyBytes[2] / 255.0},
                                   c.hueRange,
                                   c.saturationRange};
        const Vec3 key = toYuv(settings.key);
        const Pixels keyMap = map(source, [&](const Rgba& t) { return keyMapTexel(t, settings); });
        Pixels expected(source.width, source.height);
        for (uint32_t y = 0; y < source.height; ++y)
            for (uint32_t x = 0; x < source.width; ++x) {
                const Rgba k = texel(keyMap, x, y);
                if (k[3] < 0.001) continue;
                const Rgba t = texel(source, x, y);
                double w = c.border < 1 ? k[3] : shrink(keyMap, 3, x, y, c.border, k[3]);
                w *= std::min(std::max(k[0], c.soft ? 0.0 : 1.0), 1.0);
                const double g = k[0] * (c.spill ? 1 : 0);
                Rgba out = t;
                if (g >= 0.001 && g < 1) {
                    const double Y = toYuv(straight(t))[0];
                    const double u = std::clamp((k[1] - key[1]) / g + key[1], -0.5, 0.5);
                    const double v = std::clamp((k[2] - key[2]) / g + key[2], -0.5, 0.5);
                    out = premultiplied(toRgb({Y, u, v}), t[3]);
                }
                for (int ch = 0; ch < 4; ++ch) expected.at(x, y, ch) = out[size_t(ch)] * w;
            }
        const Pixels got = download(*result);
        EXPECT_LT(maxDifference(got, expected), 1e-2);
        // The screen far from the figure is gone; the figure's centre, apart from its greens, stays.
        EXPECT_LT(got.at(16, 1, 3), 0.01);
    }
}

TEST_F(KeyingTest, ColorKeyCutsTheBoxAroundTheKeyInPlace) {
    // A blue screen around a figure of warm colours.
    const Pixels source = makePixels(16, 12, [](uint32_t x, uint32_t y) -> Rgba {
        if (x >= 4 && x < 12 && y >= 3 && y < 9) return {0.9, 0.4 + 0.02 * x, 0.2, 1};
        const double a = x == 15 ? 0.6 : 1;
        return {0.1 * a, 0.15 * a, (0.85 + 0.005 * y) * a, a};
    });
    struct Case {
        const char* what;
        double luminanceRange, colorRange;
        int border;
    };
    const Case cases[] = {
        {"no border", 400, 400, 0},
        {"border 1", 400, 400, 1},
        {"border 2 shrinks the kept edge", 600, 500, 2},
        {"both ranges 0 key nothing", 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto filter = make<Effect::ColorKeyFilter>();
        filter->key.fromString("1a26dc");  // (26, 38, 220)
        filter->luminanceRange.setValue(c.luminanceRange, 0);
        filter->colorRange.setValue(c.colorRange, 0);
        filter->border.setValue(c.border, 0);
        // Every other case keeps a reference to its input, as a source that
        // keeps its image from frame to frame does: that image stays as it was.
        const bool keep = (&c - cases) % 2 == 1;
        auto image = upload(source);
        const Media::ResourceBuffer* input = image.get();
        const auto kept = keep ? image : nullptr;
        auto result = filter->filterVideo(context, std::move(image));
        if (keep) {
            EXPECT_NE(result.get(), input);
            EXPECT_EQ(maxDifference(download(*kept), source), 0);
        } else {
            EXPECT_EQ(result.get(), input) << "keyed in place";
        }

        const Vec3 key = toYuv({26 / 255.0, 38 / 255.0, 220 / 255.0});
        const Vec3 len{c.luminanceRange / 4096, c.colorRange / 4096, c.colorRange / 4096};
        const Pixels mask = map(source, [&](const Rgba& t) {
            if (t[3] < 0.001) return Rgba{0, 0, 0, 0};
            const Vec3 yuv = toYuv(straight(t));
            bool outside = false;
            for (int i = 0; i < 3; ++i)
                outside = outside || std::abs(yuv[size_t(i)] - key[size_t(i)]) >= len[size_t(i)];
            return Rgba{0, 0, 0, outside ? 1.0 : 0.0};
        });
        Pixels expected(source.width, source.height);
        for (uint32_t y = 0; y < source.height; ++y)
            for (uint32_t x = 0; x < source.width; ++x) {
                const double m = mask.at(x, y, 3);
                const double w = m < 0.001 ? 0 : c.border < 1 ? m : shrink(mask, 3, x, y, c.border, m);
                for (int ch = 0; ch < 4; ++ch) expected.at(x, y, ch) = source.at(x, y, ch) * w;
            }
        EXPECT_LT(maxDifference(download(*result), expected), 5e-3);
    }
}

TEST_F(KeyingTest, LuminanceKeyModes) {
    // Greys from dark to bright across, colours down; none on a threshold.
    const Pixels source = makePixels(40, 3, [](uint32_t x, uint32_t y) -> Rgba {
        const double v = (x + 0.5) / 40;
        const double a = y == 2 ? 0.5 : 1;
        if (y == 1) return {v * a, v * 0.8 * a, std::min(1.0, v * 1.3) * a, a};
        return {v * a, v * a, v * a, a};
    });
    for (int mode = 0; mode <= 6; ++mode) {
        SCOPED_TRACE(mode);
        auto filter = make<Effect::LuminanceKeyFilter>();
        filter->mode.index = mode;
        const double offset = 0.5, range = 0.125;
        const Pixels expected = map(source, [&](const Rgba& t) {
            if (t[3] < 0.001) return t;
            const double Y = toYuv(straight(t))[0];
            const double both = std::min(Y - offset, offset - Y) / range + 1;
            double f = 0;
            switch (mode) {
            case 0: f = (Y - offset) / range + 1; break;
            case 1: f = (offset - Y) / range + 1; break;
            case 2: f = both; break;
            case 3: f = both >= 0 ? 1 : 0; break;
            case 4: f = std::abs(Y - offset) / range; break;
            case 5: f = std::abs(Y - offset) / range >= 1 ? 1 : 0; break;
            }
            f = std::clamp(f, 0.0, 1.0);
            return Rgba{t[0] * f, t[1] * f, t[2] * f, t[3] * f};
        });
        auto result = filter->filterVideo(context, upload(source));
        const Pixels got = download(*result);
        EXPECT_LT(maxDifference(got, expected), 5e-3);
        if (mode == 0) {
            EXPECT_DOUBLE_EQ(got.at(20, 0, 3), 1) << "Y above 0.5 is opaque";
            EXPECT_DOUBLE_EQ(got.at(14, 0, 3), 0) << "Y below 0.375 is transparent";
        }
    }
    // A range of 0 gives a step, not NaN.
    auto filter = make<Effect::LuminanceKeyFilter>();
    filter->range.setValue(0, 0);
    const Pixels got = download(*filter->filterVideo(context, upload(source)));
    for (double v : got.rgba) EXPECT_FALSE(std::isnan(v));
    EXPECT_DOUBLE_EQ(got.at(5, 0, 3), 0);
    EXPECT_DOUBLE_EQ(got.at(30, 0, 3), 1);
}

TEST_F(KeyingTest, AnUnsetKeyHandsTheImageOn) {
    auto image = upload(makePixels(4, 4, pattern));
    EXPECT_EQ(make<Effect::ChromaKeyFilter>()->filterVideo(context, image), image);
    EXPECT_EQ(make<Effect::ColorKeyFilter>()->filterVideo(context, image), image);
}

}  // namespace
