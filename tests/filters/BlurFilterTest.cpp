#include <gtest/gtest.h>

#include <cmath>

#include "FilterPassFixture.h"
#include "filters/BlurDirectionFilter.h"
#include "filters/BlurFilter.h"
#include "filters/BorderBlurFilter.h"

namespace {

// Smooth premultiplied colour with a soft alpha, so that a tap landing one
// pixel over changes little.
std::array<double, 4> smooth(uint32_t x, uint32_t y) {
    const double a = 0.5 + 0.5 * std::sin(x * 0.21 + y * 0.13);
    return {a * (0.5 + 0.5 * std::cos(x * 0.17)), a * (0.5 + 0.5 * std::sin(y * 0.19)), a * 0.6, a};
}

std::array<double, 4> opaque(uint32_t, uint32_t) { return {0.8, 0.4, 0.2, 1}; }

// The direction blur on the CPU.
Pixels direction(const Pixels& s, float length, float angle, float ratio, bool keep) {
    const float theta = angle * 0.017453292f;
    const float dx = -std::sin(theta) * length, dy = std::cos(theta) * length;
    const uint32_t tw = keep ? s.width : s.width + 2 * uint32_t(std::ceil(std::abs(dx)));
    const uint32_t th = keep ? s.height : s.height + 2 * uint32_t(std::ceil(std::abs(dy)));
    const int n = std::max(5, int(std::ceil(std::min(double(length), std::hypot(double(s.width), double(s.height))))));
    const float ox = (float(s.width) - float(tw)) * 0.5f, oy = (float(s.height) - float(th)) * 0.5f;
    const float sx = dx / float(n), sy = dy / float(n);
    Pixels t(tw, th);
    for (uint32_t qy = 0; qy < th; ++qy)
        for (uint32_t qx = 0; qx < tw; ++qx) {
            const float px = float(qx) + 0.5f + ox, py = float(qy) + 0.5f + oy;
            std::array<double, 4> sum{};
            double total = 0;
            auto add = [&](float fx, float fy, double w) {
                const auto v = CpuPass::texel(s, long(fx), long(fy));
                for (int c = 0; c < 4; ++c) sum[c] += w * v[c];
                total += w;
            };
            for (int i = 0; i < n; ++i)
                add(px + sx * float(i), py + sy * float(i), 1.0 - double(i) * i / (double(n) * n));
            for (int i = 1; i < n; ++i)
                add(px - sx * (float(i) * ratio), py - sy * (float(i) * ratio), 1.0 - double(i) * i / (double(n) * n));
            for (int c = 0; c < 4; ++c) t.at(qx, qy, c) = sum[c] / total;
        }
    return t;
}

// Share of pixels whose largest channel difference is over the tolerance:
// a tap truncated to the next pixel by float rounding may differ alone.
double outliers(const Pixels& a, const Pixels& b, double tolerance) {
    EXPECT_EQ(a.width, b.width);
    EXPECT_EQ(a.height, b.height);
    if (a.width != b.width || a.height != b.height) return 1;
    size_t bad = 0;
    for (size_t i = 0; i < a.rgba.size(); i += 4)
        for (int c = 0; c < 4; ++c)
            if (std::abs(a.rgba[i + c] - b.rgba[i + c]) > tolerance) {
                ++bad;
                break;
            }
    return double(bad) / double(a.width * a.height);
}

using RadialBlurTest = FilterPassFixture;

// Sizes, centre moves and pixels of the zoom for the main settings.
TEST_F(RadialBlurTest, ZoomsTowardTheCentre) {
    struct Case {
        const char* what;
        uint32_t width, height;
        double strength, x, y;
        bool keep;
        uint32_t expectWidth, expectHeight;
        float expectCentreX, expectCentreY;
    };
    const Case cases[] = {
        {"centred, strength 50: doubles, centre stays", 40, 40, 50, 0, 0, false, 80, 80, 0, 0},
        {"centre moved right grows more to the left", 40, 30, 50, 10, 0, false, 80, 60, 10, 0},
        {"centre moved up", 30, 30, 20, 0, -6, false, 38, 37, 0, -1.5f},
        {"size fixed", 40, 30, 60, 5, 5, true, 40, 30, 0, 0},
    };
    auto filter = make<Effect::BlurFilter>();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Pixels source = makePixels(c.width, c.height, smooth);
        set(filter->range, c.strength);
        set(filter->x, c.x);
        set(filter->y, c.y);
        filter->fixedSize.value = c.keep;
        context.view.centerX = context.view.centerY = 0;
        auto result = filter->filterVideo(context, upload(source));
        ASSERT_TRUE(result);
        EXPECT_EQ(result->width, c.expectWidth);
        EXPECT_EQ(result->height, c.expectHeight);
        EXPECT_FLOAT_EQ(context.view.centerX, c.expectCentreX);
        EXPECT_FLOAT_EQ(context.view.centerY, c.expectCentreY);
        float cx = 0, cy = 0;
        const Pixels expected = CpuPass::radial(source, float(c.strength), float(c.x), float(c.y), c.keep, cx, cy);
        EXPECT_LT(outliers(download(*result), expected, 4e-3), 0.01);
    }
}

// Strength 0 hands on a copy, never the image itself; the routine only reads
// its image; a zoom past the largest image is cut on the right and bottom.
TEST_F(RadialBlurTest, CopyAtZeroAndCutAtTheLargestSize) {
    auto filter = make<Effect::BlurFilter>();
    set(filter->range, 0);
    const Pixels source = makePixels(12, 9, smooth);
    auto image = upload(source);
    auto result = filter->filterVideo(context, image);
    ASSERT_TRUE(result);
    EXPECT_NE(result.get(), image.get());
    EXPECT_LT(maxDifference(download(*result), source), 1e-6);

    float cx = 0, cy = 0;
    auto wide = upload(makePixels(4000, 1, opaque));
    auto zoomed = filter->radialBlur(*wide, cx, cy, 80, 0, 0, false);
    EXPECT_EQ(zoomed->width, 16384u);  // 20000 wanted: left -8000, right cut
    EXPECT_FLOAT_EQ(cx, -(16384 - 8000 - 4000 - 8000) * 0.5f);
    EXPECT_EQ(wide->width, 4000u);
}

using DirectionBlurTest = FilterPassFixture;

TEST_F(DirectionBlurTest, SmearsAlongTheAngle) {
    struct Case {
        const char* what;
        double length, angle;
        bool keep;
        uint32_t expectWidth, expectHeight;
    };
    const Case cases[] = {
        {"angle 0 points down", 20, 0, false, 30, 70},
        {"angle 50 (default)", 12, 50, false, 50, 46},
        {"short: at least five samples", 3, 30, false, 34, 36},
        {"size fixed", 15, -120, true, 30, 30},
    };
    auto filter = make<Effect::BlurDirectionFilter>();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Pixels source = makePixels(30, 30, smooth);
        set(filter->range, c.length);
        set(filter->angle, c.angle);
        filter->fixedSize.value = c.keep;
        auto result = filter->filterVideo(context, upload(source));
        ASSERT_TRUE(result);
        EXPECT_EQ(result->width, c.expectWidth);
        EXPECT_EQ(result->height, c.expectHeight);
        const Pixels expected = direction(source, float(c.length), float(c.angle), 1.0f, c.keep);
        EXPECT_LT(outliers(download(*result), expected, 4e-3), 0.01);
    }
    // A backward side of its own length (the step ratio other filters pass).
    const Pixels source = makePixels(20, 16, smooth);
    auto result = filter->directionBlur(upload(source), 6, 90, 0.5f, false);
    EXPECT_LT(outliers(download(*result), direction(source, 6, 90, 0.5f, false), 4e-3), 0.01);
    // Length 0: a copy of the same size.
    auto image = upload(source);
    auto copy = filter->directionBlur(image, 0, 10, 1, false);
    EXPECT_NE(copy.get(), image.get());
    EXPECT_LT(maxDifference(download(*copy), source), 1e-6);
}

using BorderBlurTest = FilterPassFixture;

// The fade toward the borders, each axis by its radius.
Pixels borderFade(const Pixels& s, int rx, int ry) {
    Pixels t = s;
    auto u = [](double distance, int r) {
        const double v = r > 0 ? std::clamp(distance / r, 0.0, 1.0) : 1.0;
        return 1 - (3 * v * v - 2 * v * v * v);
    };
    for (uint32_t y = 0; y < s.height; ++y)
        for (uint32_t x = 0; x < s.width; ++x) {
            const double ux = u(std::min(x + 0.5, s.width - x - 0.5), rx);
            const double uy = u(std::min(y + 0.5, s.height - y - 0.5), ry);
            const double f = std::max(0.0, 1 - std::sqrt(ux * ux + uy * uy));
            for (int c = 0; c < 4; ++c) t.at(x, y, c) *= f;
        }
    return t;
}

// The alpha edge moved inward by the box-blurred alpha.
Pixels alphaEdge(const Pixels& s, int rx, int ry) {
    Pixels down(s.width, s.height), across(s.width, s.height), t = s;
    for (uint32_t y = 0; y < s.height; ++y)
        for (uint32_t x = 0; x < s.width; ++x) {
            double sum = 0;
            for (int i = -ry; i <= ry; ++i) sum += CpuPass::texel(s, x, long(y) + i)[3];
            down.at(x, y, 3) = sum / (2 * ry + 1);
        }
    for (uint32_t y = 0; y < s.height; ++y)
        for (uint32_t x = 0; x < s.width; ++x) {
            double sum = 0;
            for (int i = -rx; i <= rx; ++i) sum += CpuPass::texel(down, long(x) + i, y)[3];
            const double f = std::clamp(2 * (sum / (2 * rx + 1)) * s.at(x, y, 3) - 1, 0.0, 1.0);
            for (int c = 0; c < 4; ++c) t.at(x, y, c) = s.at(x, y, c) * f;
        }
    return t;
}

TEST_F(BorderBlurTest, FadesTheBordersOrTheAlphaEdge) {
    struct Case {
        const char* what;
        double range, aspect;
        bool alpha;
        int rx, ry;
    };
    const Case cases[] = {
        {"border fade", 6, 0, false, 6, 6},
        {"aspect 50 halves the vertical radius", 8, 50, false, 8, 4},
        {"aspect -100: no horizontal fade", 5, -100, false, 0, 5},
        {"range 0: unchanged", 0, 0, false, 0, 0},
        {"alpha edge", 4, 0, true, 4, 4},
        {"alpha edge, aspect -25", 8, -25, true, 6, 8},
    };
    auto filter = make<Effect::BorderBlurFilter>();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Pixels source = makePixels(36, 28, smooth);
        set(filter->range, c.range);
        set(filter->aspect, c.aspect);
        filter->alphaBorder.value = c.alpha;
        auto image = upload(source);
        auto result = filter->filterVideo(context, image);
        ASSERT_TRUE(result);
        EXPECT_NE(result.get(), image.get()) << "the passes always run";
        const Pixels expected = c.alpha ? alphaEdge(source, c.rx, c.ry) : borderFade(source, c.rx, c.ry);
        EXPECT_LT(maxDifference(download(*result), expected), 4e-3);
    }
    // An opaque image fades over a rim of the radius at its alpha edge.
    set(filter->range, 4);
    set(filter->aspect, 0);
    filter->alphaBorder.value = true;
    const Pixels out = download(*filter->filterVideo(context, upload(makePixels(30, 30, opaque))));
    EXPECT_NEAR(out.at(0, 15, 3), 2 * 5.0 / 9 - 1, 2e-3);
    EXPECT_LT(out.at(1, 15, 3), out.at(2, 15, 3));
    EXPECT_NEAR(out.at(4, 15, 3), 1.0, 1e-3);
    EXPECT_NEAR(out.at(15, 15, 3), 1.0, 1e-3);
}

}  // namespace
