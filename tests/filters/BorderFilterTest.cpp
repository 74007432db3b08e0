#include <gtest/gtest.h>

#include <cmath>

#include "FilterPassFixture.h"
#include "filters/BevelFilter.h"
#include "filters/BorderFilter.h"
#include "filters/DropShadowFilter.h"

namespace {

// The outline and the image over it, on the CPU, at every stride-th pixel
// across and down (the others stay transparent).
Pixels outlined(const Pixels& s, int size, int blur, const std::array<double, 4>& colour, uint32_t stride) {
    Pixels t(s.width + 2 * size, s.height + 2 * size);
    int taps = size;
    Pixels source = s;
    double scaleX = 0, scaleY = 0, stepX = 0, stepY = 0, offsetX = 0, offsetY = 0;
    const bool sampled = size > 40;
    if (sampled) {
        const int factor = size / 40 + 1;
        taps = (size + factor) / factor;
        source = CpuPass::shrink(s, factor);
        scaleX = 1.0 / s.width, scaleY = 1.0 / s.height;
        stepX = ((factor - 1) * 2 + size) * scaleX / taps, stepY = ((factor - 1) * 2 + size) * scaleY / taps;
        offsetX = -size * scaleX - taps * stepX, offsetY = -size * scaleY - taps * stepY;
    }
    const double limit = std::pow(taps * blur / 100 + 1, 2);
    for (uint32_t y = 0; y < t.height; y += stride)
        for (uint32_t x = 0; x < t.width; x += stride) {
            double sum = 0;
            for (int dy = -taps; dy <= taps; ++dy)
                for (int dx = -taps; dx < taps; ++dx) {
                    const double w = 1 - std::min(std::sqrt(double(dx * dx + dy * dy)) / taps, 1.0);
                    if (sampled)
                        sum += w * CpuPass::sample(source, (x + 0.5) * scaleX + offsetX + (dx + taps) * stepX,
                                                   (y + 0.5) * scaleY + offsetY + (dy + taps) * stepY)[3];
                    else
                        sum += w * CpuPass::texel(s, long(x) - size + dx, long(y) - size + dy)[3];
                }
            const double v = std::clamp(sum / limit, 0.0, 1.0), eased = v * v * (3 - 2 * v);
            for (int c = 0; c < 4; ++c) t.at(x, y, c) = eased * colour[c];
        }
    return CpuPass::over(t, s, size, size);
}

using BorderTest = FilterPassFixture;

TEST_F(BorderTest, OutlinesTheShape) {
    struct Case {
        const char* what;
        uint32_t side;
        int size, blur;
        double tolerance;
        uint32_t stride;  // of the pixels compared: large kernels cost the CPU much
    };
    const Case cases[] = {
        {"default size and blur", 24, 5, 5, 4e-3, 1},
        {"blur 0: full opacity at coverage 1", 20, 3, 0, 4e-3, 1},
        {"strong blur softens", 20, 6, 100, 4e-3, 1},
        {"size 40: the last direct one", 10, 40, 10, 4e-3, 5},
        {"size 41: sampled on a half-size copy", 12, 41, 20, 2e-2, 5},
    };
    auto filter = make<Effect::BorderFilter>();
    filter->color.red = 255, filter->color.green = 128, filter->color.blue = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const double centre = c.side / 2.0;
        const Pixels source = makePixels(c.side, c.side, [&](uint32_t x, uint32_t y) {
            return CpuPass::disc(x, y, centre, centre, c.side / 3.0);
        });
        set(filter->size, c.size);
        set(filter->blur, c.blur);
        auto result = filter->filterVideo(context, upload(source));
        ASSERT_TRUE(result);
        EXPECT_EQ(result->width, c.side + 2 * c.size);
        const Pixels expected = outlined(source, c.size, c.blur, {1, 128 / 255.0, 0, 1}, c.stride);
        const Pixels out = download(*result);
        ASSERT_EQ(out.height, expected.height);
        double worst = 0;
        for (uint32_t y = 0; y < out.height; y += c.stride)
            for (uint32_t x = 0; x < out.width; x += c.stride)
                for (int k = 0; k < 4; ++k) worst = std::max(worst, std::abs(out.at(x, y, k) - expected.at(x, y, k)));
        EXPECT_LT(worst, c.tolerance);
    }
    set(filter->size, 0);
    auto image = upload(makePixels(6, 6, [](uint32_t, uint32_t) -> std::array<double, 4> { return {0, 0, 0, 1}; }));
    EXPECT_EQ(filter->filterVideo(context, image).get(), image.get());
}

using DropShadowTest = FilterPassFixture;

// The shadow on the CPU: shape in the colour at the density, blurred, offset,
// the image over it.
Pixels shadowed(const Pixels& s, int x, int y, double density, int spread, const std::array<double, 3>& colour) {
    Pixels shadow = s;
    for (uint32_t py = 0; py < s.height; ++py)
        for (uint32_t px = 0; px < s.width; ++px) {
            const double a = s.at(px, py, 3);
            for (int c = 0; c < 3; ++c) shadow.at(px, py, c) = colour[c] * density * a;
            shadow.at(px, py, 3) = density * a;
        }
    shadow = CpuBlur::blur(shadow, spread, 0, 0);
    Pixels t(std::abs(x) + shadow.width, std::abs(y) + shadow.height);
    const long ox = x < 0 ? 0 : -x, oy = y < 0 ? 0 : -y;
    t = CpuPass::over(t, shadow, -ox, -oy);
    return CpuPass::over(t, s, -(ox + x - spread), -(oy + y - spread));
}

TEST_F(DropShadowTest, ShadowBehindTheObject) {
    struct Case {
        const char* what;
        int x, y;
        double density;
        int spread;
        uint32_t expectWidth, expectHeight;
        float centreX, centreY;
    };
    const Case cases[] = {
        {"default direction", -8, 5, 40, 3, 34, 31, 4, -2.5f},
        {"down right, no spread", 6, 4, 100, 0, 26, 24, -3, -2},
        {"density 0: a transparent shadow", 5, -5, 0, 2, 29, 29, -2.5f, 2.5f},
    };
    auto filter = make<Effect::DropShadowFilter>();
    filter->color.red = 40, filter->color.green = 80, filter->color.blue = 160;
    const Pixels source = makePixels(20, 20, [](uint32_t x, uint32_t y) { return CpuPass::disc(x, y, 10, 10, 7); });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        set(filter->x, c.x);
        set(filter->y, c.y);
        set(filter->density, c.density);
        set(filter->diffusion, c.spread);
        context.view.centerX = context.view.centerY = 0;
        auto result = filter->filterVideo(context, upload(source));
        ASSERT_TRUE(result);
        EXPECT_EQ(result->width, c.expectWidth);
        EXPECT_EQ(result->height, c.expectHeight);
        EXPECT_FLOAT_EQ(context.view.centerX, c.centreX);
        EXPECT_FLOAT_EQ(context.view.centerY, c.centreY);
        const Pixels expected =
            shadowed(source, c.x, c.y, c.density / 100, c.spread, {40 / 255.0, 80 / 255.0, 160 / 255.0});
        EXPECT_LT(maxDifference(download(*result), expected), 4e-3);
    }
}

// Drawn apart, the shadow goes through the object's output: the image is
// handed on as it came and the view is left as it was.
TEST_F(DropShadowTest, DrawnApartHandsTheImageOn) {
    auto filter = make<Effect::DropShadowFilter>();
    filter->separate.value = 1;
    context.view.x = 3, context.view.y = -2;
    auto image = upload(makePixels(10, 10, [](uint32_t x, uint32_t y) { return CpuPass::disc(x, y, 5, 5, 4); }));
    EXPECT_EQ(filter->filterVideo(context, image).get(), image.get());
    EXPECT_EQ(context.view.x, 3);
    EXPECT_EQ(context.view.y, -2);
    EXPECT_EQ(context.view.centerX, 0);
}

using BevelTest = FilterPassFixture;

Pixels bevelled(const Pixels& s, int samples, double height, float angle) {
    const float theta = angle * 0.017453292f;
    const float sx = std::sin(-theta), sy = std::cos(-theta);
    const double depth = height * 0.5 / samples;
    Pixels t = s;
    for (uint32_t y = 0; y < s.height; ++y)
        for (uint32_t x = 0; x < s.width; ++x) {
            const double a = s.at(x, y, 3);
            if (a < 0.001) continue;
            double sum = 0;
            for (int i = 1; i <= samples; ++i) {
                const float fx = float(x) + 0.5f, fy = float(y) + 0.5f;
                sum += CpuPass::texel(s, long(fx + sx * float(i)), long(fy + sy * float(i)))[3] -
                       CpuPass::texel(s, long(fx - sx * float(i)), long(fy - sy * float(i)))[3];
            }
            for (int c = 0; c < 3; ++c) t.at(x, y, c) = std::clamp(s.at(x, y, c) / a + sum * depth, 0.0, 1.0) * a;
        }
    return t;
}

TEST_F(BevelTest, LightsTheEdges) {
    struct Case {
        const char* what;
        uint32_t width, height;
        int widthItem;
        double heightItem, angle;
        int samples;
    };
    const Case cases[] = {
        {"defaults", 24, 24, 4, 1, 45, 4},
        {"from below, high", 24, 20, 6, 3, 180, 6},
        {"6 wide: half the width", 6, 24, 4, 1.5, -30, 3},
    };
    auto filter = make<Effect::BevelFilter>();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Pixels source = makePixels(c.width, c.height, [&](uint32_t x, uint32_t y) {
            return CpuPass::disc(x, y, c.width / 2.0, c.height / 2.0, std::min(c.width, c.height) / 2.5);
        });
        set(filter->width, c.widthItem);
        set(filter->height, c.heightItem);
        set(filter->angle, c.angle);
        auto result = filter->filterVideo(context, upload(source));
        ASSERT_TRUE(result);
        EXPECT_LT(maxDifference(download(*result), bevelled(source, c.samples, c.heightItem, float(c.angle))), 4e-3);
    }
    set(filter->width, 0);
    auto image = upload(makePixels(8, 8, [](uint32_t, uint32_t) -> std::array<double, 4> { return {0, 0, 0, 1}; }));
    EXPECT_EQ(filter->filterVideo(context, image).get(), image.get());
}

}  // namespace
