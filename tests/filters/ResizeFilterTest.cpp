#include <gtest/gtest.h>

#include <cmath>

#include "FilterPassFixture.h"
#include "filters/ResizeFilter.h"

namespace {

using ResizeTest = FilterPassFixture;

std::array<double, 4> smooth(uint32_t x, uint32_t y) {
    const double a = 0.5 + 0.05 * x - 0.03 * y;
    return {(0.2 + 0.06 * x) * a, (0.8 - 0.05 * y) * a, 0.04 * (x + y) * a, a};
}

// A bilinear sample with the position clamped to the image.
std::array<double, 4> clampedSample(const Pixels& s, double u, double v) {
    const double x = u * s.width - 0.5, y = v * s.height - 0.5;
    const long x0 = long(std::floor(x)), y0 = long(std::floor(y));
    const double fx = x - x0, fy = y - y0;
    const auto a = CpuPass::clamped(s, x0, y0), b = CpuPass::clamped(s, x0 + 1, y0),
               c = CpuPass::clamped(s, x0, y0 + 1), d = CpuPass::clamped(s, x0 + 1, y0 + 1);
    std::array<double, 4> out{};
    for (int i = 0; i < 4; ++i) out[i] = (a[i] * (1 - fx) + b[i] * fx) * (1 - fy) + (c[i] * (1 - fx) + d[i] * fx) * fy;
    return out;
}

// One bilinear sample below 1.05 source pixels a step, else the mean of a
// grid of samples over the footprint.
Pixels resampled(const Pixels& s, uint32_t width, uint32_t height, double rx, double ry) {
    Pixels t(width, height);
    const double ix = 1 / rx, iy = 1 / ry;
    const int nx = ix < 1.05 && iy < 1.05 ? 1 : std::min(int(ix * 0.5 + 1.5), 16);
    const int ny = ix < 1.05 && iy < 1.05 ? 1 : std::min(int(iy * 0.5 + 1.5), 16);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            const double cx = (x + 0.5) * ix, cy = (y + 0.5) * iy;
            std::array<double, 4> sum{};
            for (int j = 0; j < ny; ++j)
                for (int i = 0; i < nx; ++i) {
                    const double sx = nx == 1 ? cx : cx - ix * 0.5 + ix / nx * (i + 0.5);
                    const double sy = ny == 1 ? cy : cy - iy * 0.5 + iy / ny * (j + 0.5);
                    const auto v = clampedSample(s, sx / s.width, sy / s.height);
                    for (int c = 0; c < 4; ++c) sum[c] += v[c];
                }
            for (int c = 0; c < 4; ++c) t.at(x, y, c) = sum[c] / (nx * ny);
        }
    return t;
}

// The nearest source texel of each pixel centre.
Pixels nearest(const Pixels& s, uint32_t width, uint32_t height) {
    Pixels t(width, height);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            const auto v = CpuPass::clamped(s, long((x + 0.5) * s.width / width), long((y + 0.5) * s.height / height));
            for (int c = 0; c < 4; ++c) t.at(x, y, c) = v[c];
        }
    return t;
}

TEST_F(ResizeTest, ResamplesToTheNewSize) {
    struct Case {
        double zoom, x, y;
        bool byPixels, plain;
        uint32_t width, height;
    };
    // From 12 x 9.
    const Case cases[] = {
        {200, 100, 100, false, false, 24, 18},            // one bilinear sample
        {100, 50, 150, false, false, 6, 14},              // 13.5 rounds away from zero
        {100, 100 / 3.0, 100 / 3.0, false, false, 4, 3},  // 3 x 3 samples per pixel
        {10, 100, 100, false, false, 1, 1},               // 1.2 and 0.9: 16 x 16 at most
        {100, 30, 4, true, false, 30, 4},                 // pixel counts
        {50, 30, 5, true, false, 15, 3},                  // halved counts, 2.5 rounds up
        {300, 100, 100, false, true, 36, 27},             // nearest pixel
        {100, 100 / 3.0, 100 / 3.0, false, true, 4, 3},
    };
    auto filter = make<Effect::ResizeFilter>();
    const Pixels source = makePixels(12, 9, smooth);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.zoom << " " << c.x << " " << c.y << (c.byPixels ? " pixels" : "")
                                        << (c.plain ? " plain" : ""));
        set(filter->zoom, c.zoom);
        set(filter->x, c.x);
        set(filter->y, c.y);
        filter->byPixels.value = c.byPixels;
        filter->noInterpolation.value = c.plain;
        auto result = filter->filterVideo(context, upload(source));
        ASSERT_TRUE(result);
        ASSERT_EQ(result->width, c.width);
        ASSERT_EQ(result->height, c.height);
        // The ratios as the items hold them.
        const double s = filter->zoom.values[0] / filter->zoom.scale * 0.01;
        const double rx = c.byPixels ? s * std::round(c.x) / 12 : s * filter->x.values[0] / filter->x.scale * 0.01;
        const double ry = c.byPixels ? s * std::round(c.y) / 9 : s * filter->y.values[0] / filter->y.scale * 0.01;
        const Pixels expected =
            c.plain ? nearest(source, c.width, c.height) : resampled(source, c.width, c.height, rx, ry);
        EXPECT_LT(maxDifference(download(*result), expected), 3e-3);
    }
}

TEST_F(ResizeTest, SameImageAtOneAndNoneWhenNothingIsLeft) {
    struct Case {
        double zoom, x, y;
        bool byPixels;
        bool same;  // else none
    };
    // From 8 x 6.
    const Case cases[] = {
        {100, 100, 100, false, true}, {200, 50, 50, false, true},  {100, 8, 6, true, true},
        {0, 100, 100, false, false},  {100, 0, 100, false, false}, {100, 100, 0, false, false},
        {5, 100, 100, false, false},  {100, 0, 6, true, false},    {100, 6, 100, false, false},
    };
    auto filter = make<Effect::ResizeFilter>();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.zoom << " " << c.x << " " << c.y << (c.byPixels ? " pixels" : ""));
        set(filter->zoom, c.zoom);
        set(filter->x, c.x);
        set(filter->y, c.y);
        filter->byPixels.value = c.byPixels;
        auto image = upload(makePixels(8, 6, smooth));
        auto result = filter->filterVideo(context, image);
        if (c.same)
            EXPECT_EQ(result.get(), image.get());
        else
            EXPECT_EQ(result, nullptr);
    }
}

}  // namespace
