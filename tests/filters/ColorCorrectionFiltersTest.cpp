#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "BlurFixture.h"
#include "ColorFilterReference.h"
#include "SharedResourceFixture.h"
#include "effect/EffectService.h"
#include "effect/RenderContext.h"
#include "filters/ColorChangeFilter.h"
#include "filters/ColorFilter.h"
#include "filters/ColorShiftFilter.h"
#include "filters/FilterCatalog.h"
#include "filters/GradationFilter.h"
#include "filters/MonochromeFilter.h"
#include "filters/FilterFixture.h"
#include "media/gpu/ResourceService.h"

using namespace ColorReference;

namespace {

constexpr double kTolerance = 5e-3;

class ColorCorrectionTest : public SharedResourceFixture {
protected:
    Pixels run(Effect::EffectBase& filter, const Pixels& source) {
        auto image = upload(source);
        auto result = filter.filterVideo(context, image);
        EXPECT_TRUE(result);
        return download(*result);
    }
    const Pixels source = makePixels(12, 9, pattern);
};

TEST_F(ColorCorrectionTest, ColorCorrectionFollowsTheReference) {
    struct Case {
        const char* what;
        double brightness, contrast, hue, luminance, chroma;
        bool saturate;
    };
    const Case cases[] = {
        {"defaults leave the image", 100, 100, 0, 100, 100, true},
        {"brightness and contrast", 140, 70, 0, 100, 100, true},
        {"hue, luminance and chroma", 100, 100, 90, 120, 50, true},
        {"no luminance or chroma: black", 100, 100, 0, 0, 0, true},
        {"unsaturated brightness goes above 1", 200, 100, -30, 100, 150, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto filter = make<Effect::ColorFilter>();
        filter->brightness.setValue(c.brightness, 0);
        filter->contrast.setValue(c.contrast, 0);
        filter->hue.setValue(c.hue, 0);
        filter->luminance.setValue(c.luminance, 0);
        filter->saturation.setValue(c.chroma, 0);
        filter->saturate.value = c.saturate;
        const double k = c.contrast / 100, b = (c.brightness / 100 - 1.5) * k + 0.5;
        const double h = c.hue * 0.017453292;
        const Pixels expected = map(source, [&](const Rgba& t) {
            if (t[3] < 0.001) return t;
            Vec3 yuv = toYuv(straight(t));
            const double u = yuv[1] * std::cos(h) - yuv[2] * std::sin(h);
            const double v = yuv[1] * std::sin(h) + yuv[2] * std::cos(h);
            Vec3 rgb = toRgb({yuv[0] * c.luminance / 100, u * c.chroma / 100, v * c.chroma / 100});
            for (double& x : rgb) {
                x = x * k + b;
                if (c.saturate) x = std::clamp(x, 0.0, 1.0);
            }
            return premultiplied(rgb, t[3]);
        });
        const Pixels result = run(*filter, source);
        EXPECT_LT(maxDifference(result, expected), kTolerance);
        if (!c.saturate) {
            double brightest = 0;
            for (double x : result.rgba) brightest = std::max(brightest, x);
            EXPECT_GT(brightest, 1.2);
        }
    }
}

TEST_F(ColorCorrectionTest, MonochromePullsTowardsTheColour) {
    struct Case {
        const char* what;
        double strength;
        uint8_t r, g, b;
        bool keepLuminance;
    };
    const Case cases[] = {
        {"strength 0 leaves the colours", 0, 200, 30, 90, true},
        {"full, luminance kept", 100, 200, 30, 90, true},
        {"full: the colour times alpha", 100, 200, 30, 90, false},
        {"half way", 50, 20, 220, 140, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto filter = make<Effect::MonochromeFilter>();
        filter->strength.setValue(c.strength, 0);
        filter->color.red = c.r;
        filter->color.green = c.g;
        filter->color.blue = c.b;
        filter->keepLuminance.value = c.keepLuminance;
        const double s = c.strength / 100;
        const Vec3 target = toYuv({c.r / 255.0, c.g / 255.0, c.b / 255.0});
        const Pixels expected = map(source, [&](const Rgba& t) {
            const Vec3 from = toYuv({t[0], t[1], t[2]});
            Vec3 out;
            for (int i = 0; i < 3; ++i) {
                const double level = i == 0 && c.keepLuminance ? 0 : s;
                out[i] = from[i] + (target[i] * t[3] - from[i]) * level;
            }
            const Vec3 rgb = toRgb(out);
            return Rgba{rgb[0], rgb[1], rgb[2], t[3]};
        });
        EXPECT_LT(maxDifference(run(*filter, source), expected), kTolerance);
    }
}

// Bilinear sample with a transparent border, at a position in pixels.
Rgba bilinear(const Pixels& p, double x, double y) {
    x -= 0.5;
    y -= 0.5;
    const double fx = std::floor(x), fy = std::floor(y);
    Rgba out{0, 0, 0, 0};
    for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 2; ++dx) {
            const int px = int(fx) + dx, py = int(fy) + dy;
            if (px < 0 || py < 0 || px >= int(p.width) || py >= int(p.height)) continue;
            const double w = (dx ? x - fx : 1 - (x - fx)) * (dy ? y - fy : 1 - (y - fy));
            for (int k = 0; k < 4; ++k) out[size_t(k)] += w * p.at(uint32_t(px), uint32_t(py), k);
        }
    return out;
}

TEST_F(ColorCorrectionTest, ColorShiftMovesTwoChannelsApart) {
    struct Case {
        const char* what;
        double shift, angle, strength;
        int kind;
        uint32_t width, height;
        double tolerance;
    };
    const Case cases[] = {
        {"defaults: red and green across, width grows by 10", 5, 90, 100, 0, 22, 9, kTolerance},
        {"red and blue down, kind B", 3, 0, 100, 4, 12, 15, kTolerance},
        {"green and blue, half strength", 4, 180, 50, 2, 12, 17, kTolerance},
        {"strength 0: the input padded", 5, 90, 0, 3, 22, 9, kTolerance},
        {"a slant between pixels", 2.5, 30, 100, 1, 16, 15, 1.5e-2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto filter = make<Effect::ColorShiftFilter>();
        filter->shift.setValue(c.shift, 0);
        filter->angle.setValue(c.angle, 0);
        filter->strength.setValue(c.strength, 0);
        filter->kind.index = c.kind;
        const Pixels result = run(*filter, source);
        ASSERT_EQ(result.width, c.width);
        ASSERT_EQ(result.height, c.height);
        const double theta = double(float(c.angle) * 0.017453292f);
        const double dx = -std::sin(theta) * c.shift, dy = std::cos(theta) * c.shift;
        const int mx = int((c.width - source.width) / 2), my = int((c.height - source.height) / 2);
        // Which channel moves forward (+d) and which back (-d).
        const int forward = c.kind % 3 == 2 ? 1 : 0, back = c.kind % 3 == 0 ? 1 : 2;
        Pixels expected(c.width, c.height);
        for (uint32_t y = 0; y < c.height; ++y)
            for (uint32_t x = 0; x < c.width; ++x) {
                const double qx = x + 0.5 - mx, qy = y + 0.5 - my;
                Rgba sample[3];
                for (int ch = 0; ch < 3; ++ch) {
                    const double sign = ch == forward ? 1 : ch == back ? -1 : 0;
                    sample[ch] = bilinear(source, qx + sign * dx, qy + sign * dy);
                }
                Rgba shifted{sample[0][0], sample[1][1], sample[2][2],
                             (sample[0][3] + sample[1][3] + sample[2][3]) / 3};
                if (c.kind < 3)
                    for (int k = 0; k < 3; ++k) shifted[size_t(k)] *= shifted[3];
                const int ox = int(x) - mx, oy = int(y) - my;
                const bool inside = ox >= 0 && oy >= 0 && ox < int(source.width) && oy < int(source.height);
                for (int k = 0; k < 4; ++k) {
                    const double original = inside ? source.at(uint32_t(ox), uint32_t(oy), k) : 0;
                    expected.at(x, y, k) = original + (shifted[size_t(k)] - original) * c.strength / 100;
                }
            }
        EXPECT_LT(maxDifference(result, expected), c.tolerance);
    }
    // An unknown kind hands the image on.
    auto filter = make<Effect::ColorShiftFilter>();
    filter->kind.index = 6;
    auto image = upload(source);
    EXPECT_EQ(filter->filterVideo(context, image), image);
}

double smooth(double t) {
    t = std::clamp(t, 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

TEST_F(ColorCorrectionTest, GradationLaysItsShapeInsideTheAlpha) {
    struct Case {
        const char* what;
        int shape, blend;
        double strength, cx, cy, angle, width;
        bool endSet;
    };
    const Case cases[] = {
        {"defaults: white to transparent across the centre", 0, 0, 100, 0, 0, 0, 100, false},
        {"linear, turned and narrow", 0, 0, 100, 2, -1, 60, 6, true},
        {"circle, half strength", 1, 0, 50, 1.5, 0, 0, 7, true},
        {"square", 2, 0, 100, 0, 1, 30, 5, true},
        {"ridge", 3, 0, 80, -2, 0, -45, 4, true},
        {"multiply mode", 1, 3, 100, 0, 0, 0, 6, true},
        {"difference mode", 0, 12, 70, 0, 0, 90, 8, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto filter = make<Effect::GradationFilter>();
        filter->shape.index = c.shape;
        filter->blend.index = c.blend;
        filter->strength.setValue(c.strength, 0);
        filter->centerX.setValue(c.cx, 0);
        filter->centerY.setValue(c.cy, 0);
        filter->angle.setValue(c.angle, 0);
        filter->width.setValue(c.width, 0);
        const Rgba col0{1, 1, 1, 1};
        Rgba col1{0, 0, 0, 0};
        if (c.endSet) {
            filter->endColor.fromString("3366cc");
            col1 = {0x33 / 255.0, 0x66 / 255.0, 0xcc / 255.0, 1};
        }
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
            EXPECT_EQ(result.get(), input) << "drawn over in place";
        }

        const double theta = double(float(c.angle) * 0.017453292f);
        const double ddx = std::sin(theta), ddy = -std::cos(theta);
        const double R = c.width + (c.shape == 0 ? 1 : 0), opacity = c.strength / 100;
        Pixels expected(source.width, source.height);
        for (uint32_t y = 0; y < source.height; ++y)
            for (uint32_t x = 0; x < source.width; ++x) {
                const double qx = x + 0.5 - (source.width / 2.0 + c.cx), qy = y + 0.5 - (source.height / 2.0 + c.cy);
                const double along = qx * ddx + qy * ddy, across = -qx * ddy + qy * ddx;
                double f = 0;
                switch (c.shape) {
                case 0: f = 1 - smooth((along + R / 2) / R); break;
                case 1: f = smooth(std::hypot(qx, qy) / R); break;
                case 2: f = 1 - smooth((R - std::abs(along) - std::abs(across)) / R); break;
                case 3: f = 1 - smooth((R - std::abs(along)) / R); break;
                }
                const Rgba d = texel(source, x, y);
                Rgba s;
                for (int k = 0; k < 4; ++k)
                    s[size_t(k)] = (col0[size_t(k)] + f * (col1[size_t(k)] - col0[size_t(k)])) * d[3];
                if (c.blend == 3)
                    for (int k = 0; k < 3; ++k) s[size_t(k)] = d[size_t(k)] * s[size_t(k)];
                else if (c.blend == 12)
                    for (int k = 0; k < 3; ++k) s[size_t(k)] = std::abs(d[size_t(k)] * s[3] - s[size_t(k)]);
                if (c.blend != 0 && s[3] < 0.001) s = {0, 0, 0, 0};
                for (int k = 0; k < 4; ++k) {
                    const double top = s[size_t(k)] * opacity;
                    expected.at(x, y, k) = top + d[size_t(k)] * (1 - s[3] * opacity);
                }
            }
        EXPECT_LT(maxDifference(download(*result), expected), kTolerance);
    }
}

// A width of 0 makes the edge of the shapes without the added pixel a step;
// no pixel becomes NaN, not even the one at the centre of the circle.
TEST_F(ColorCorrectionTest, GradationOfWidthZeroIsAStep) {
    const Pixels opaque = makePixels(8, 8, [](uint32_t, uint32_t) -> Rgba { return {0, 0, 0, 1}; });
    for (int shape = 1; shape < 4; ++shape) {
        SCOPED_TRACE(shape);
        auto filter = make<Effect::GradationFilter>();
        filter->shape.index = shape;
        filter->width.setValue(0, 0);
        filter->centerX.setValue(0.5, 0);  // the circle's centre on a pixel centre
        filter->centerY.setValue(0.5, 0);
        const Pixels got = run(*filter, opaque);
        for (double v : got.rgba) {
            ASSERT_FALSE(std::isnan(v));
            EXPECT_TRUE(std::abs(v) < 1e-3 || std::abs(v - 1) < 1e-3) << v;
        }
    }
}

// The colour change borrows the key map of the registered chroma key, so it
// runs with the effect service and the whole catalogue.
struct Gpu : BlurFixture {
    using BlurFixture::download;
    using BlurFixture::makePixels;
    using BlurFixture::maxDifference;
    using BlurFixture::upload;
};

class ColorChangeTest : public FilterFixture {
protected:
    const System::ServiceHolder<Resource::ResourceService> resources;
    Render::RenderContext context;
};

// Green turns red; the other colours keep theirs. The map is the chroma key's
// for the colour to replace with neither spill correction nor soft edges.
TEST_F(ColorChangeTest, ReplacesTheColoursNearTheKey) {
    const Pixels source = Gpu::makePixels(14, 10, [](uint32_t x, uint32_t y) -> Rgba {
        if (x >= 4 && x < 10 && y >= 3 && y < 7) return pattern(x, y);
        const double a = y == 0 ? 0.5 : 1;
        return {0.1 * a, (0.8 + 0.01 * x) * a, 0.15 * a, a};
    });
    struct Case {
        const char* what;
        int border;
        bool correct;
    };
    const Case cases[] = {{"plain", 0, false}, {"border 1", 1, false}, {"border 2, colour corrected", 2, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto filter = std::static_pointer_cast<Effect::ColorChangeFilter>(service->getEffect(L"特定色域変換"));
        filter->before.fromString("1ad926");  // (26, 217, 38)
        filter->after.fromString("e01010");
        filter->border.setValue(c.border, 0);
        filter->correctColor.value = c.correct;
        auto result = filter->filterVideo(context, Gpu::upload(source));

        const KeySettings key{{26 / 255.0, 217 / 255.0, 38 / 255.0}, 16, 96};
        const Pixels keyMap = map(source, [&](const Rgba& t) { return keyMapTexel(t, key); });
        const Vec3 before = toYuv(key.key), after = toYuv({0xe0 / 255.0, 0x10 / 255.0, 0x10 / 255.0});
        Pixels expected(source.width, source.height);
        for (uint32_t y = 0; y < source.height; ++y)
            for (uint32_t x = 0; x < source.width; ++x) {
                const Rgba t = texel(source, x, y);
                if (t[3] < 0.001) continue;
                const Rgba k = texel(keyMap, x, y);
                const double w = c.border < 1 ? k[3] : shrink(keyMap, 3, x, y, c.border, k[3]);
                const double Y = toYuv(straight(t))[0];
                const double g = k[0] * (c.correct ? 1 : 0);
                double u = k[1], v = k[2];
                if (g > 0 && g < 1) {
                    u = std::clamp((k[1] - before[1]) / g + before[1], -0.5, 0.5);
                    v = std::clamp((k[2] - before[2]) / g + before[2], -0.5, 0.5);
                }
                const double replaced = Y * after[0] / std::max(Y, std::max(before[0], 0.001));
                const Vec3 rgb = toRgb(
                    {replaced + w * (Y - replaced), after[1] + w * (u - after[1]), after[2] + w * (v - after[2])});
                const Rgba out = premultiplied(rgb, t[3]);
                for (int ch = 0; ch < 4; ++ch) expected.at(x, y, ch) = out[size_t(ch)];
            }
        const Pixels got = Gpu::download(*result);
        EXPECT_LT(Gpu::maxDifference(got, expected), 1e-2);
        // The background is red now.
        EXPECT_GT(got.at(0, 5, 0), 0.5);
        EXPECT_LT(got.at(0, 5, 1), 0.2);
    }
    // Either colour unset: the same image.
    auto filter = std::static_pointer_cast<Effect::ColorChangeFilter>(service->getEffect(L"特定色域変換"));
    auto image = Gpu::upload(source);
    EXPECT_EQ(filter->filterVideo(context, image), image);
    filter->before.fromString("1ad926");
    filter->after.fromString("");
    EXPECT_EQ(filter->filterVideo(context, image), image);
}

}  // namespace
