#include <gtest/gtest.h>

#include <cmath>

#include "FilterPassFixture.h"
#include "filters/PolarFilter.h"

namespace {

using PolarTest = FilterPassFixture;

std::array<double, 4> bands(uint32_t x, uint32_t y) {
    const double a = 0.5 + 0.04 * y;
    return {(0.3 + 0.04 * x) * a, (0.2 + 0.05 * y) * a, (x % 4) * 0.2 * a, a};
}

// A bilinear sample, mirrored across the left and right edges and transparent
// above and below.
std::array<double, 4> mirrorSample(const Pixels& s, double u, double v) {
    const long w = long(s.width);
    const double x = u * w - 0.5, y = v * s.height - 0.5;
    const long x0 = long(std::floor(x)), y0 = long(std::floor(y));
    const double fx = x - x0, fy = y - y0;
    const auto mirror = [w](long i) { return i < 0 ? -i - 1 : i >= w ? 2 * w - i - 1 : i; };
    const auto at = [&](long i, long j) { return CpuPass::texel(s, mirror(i), j); };
    const auto a = at(x0, y0), b = at(x0 + 1, y0), c = at(x0, y0 + 1), d = at(x0 + 1, y0 + 1);
    std::array<double, 4> out{};
    for (int k = 0; k < 4; ++k) out[k] = (a[k] * (1 - fx) + b[k] * fx) * (1 - fy) + (c[k] * (1 - fx) + d[k] * fx) * fy;
    return out;
}

struct Disc {
    double hole, zoom, angle, swirl;
};

// The polar wrap on the CPU; pixels next to the seam of the angle, or where
// the number of samples changes, are marked as not to be compared.
Pixels polar(const Pixels& s, const Disc& d, std::vector<bool>& compared) {
    const double w = s.width, h = s.height, e = d.hole;
    const double f = d.zoom / 100 * (w + h) / M_PI + e;
    double degrees = d.angle;
    while (degrees < 0) degrees += 360;
    const double pix = degrees * M_PI / 180 + 3.5 * M_PI, pia = d.swirl * 2 * M_PI / (f - e);
    const double pio = std::min(std::abs(pia * w * 2 * std::sqrt(2.0) / (2 * M_PI)), w);
    const double kx = w / (2 * M_PI), ky = (h + e) / f;
    const uint32_t side = uint32_t(std::ceil(2 * f));
    Pixels t(side, side);
    compared.assign(size_t(side) * side, true);
    for (uint32_t py = 0; py < side; ++py)
        for (uint32_t px = 0; px < side; ++px) {
            const double dx = px + 0.5 - f, dy = py + 0.5 - f, r = std::hypot(dx, dy);
            double x = kx * (pix + pia * (f - r) - std::atan2(dy, dx));
            x -= w * std::floor(x / w);
            const double y = r * ky - e;
            const double footprint = kx / std::max(r, 1.0) * std::sqrt(2.0) + pio;
            const double grid = footprint * 0.5 + 1.5;
            if (std::min(x, w - x) < 0.02 || std::abs(footprint - 1.05) < 1e-3 ||
                std::abs(grid - std::round(grid)) < 1e-3)
                compared[size_t(py) * side + px] = false;
            std::array<double, 4> sum{};
            int samples = 0;
            if (footprint <= 1.05) {
                sum = mirrorSample(s, x / w, y / h);
                samples = 1;
            } else {
                const int n = std::min(int(grid), 16);
                for (int i = 0; i < n; ++i)
                    for (const double row : {y - 0.25, y + 0.25}) {
                        const auto v = mirrorSample(s, (x - footprint * 0.5 + footprint / n * (i + 0.5)) / w, row / h);
                        for (int c = 0; c < 4; ++c) sum[c] += v[c];
                        ++samples;
                    }
            }
            for (int c = 0; c < 4; ++c) t.at(px, py, c) = sum[c] / samples;
        }
    return t;
}

TEST_F(PolarTest, WrapsTheImageIntoADisc) {
    const Disc cases[] = {{0, 100, 0, 0}, {4, 150, -30, 0}, {2, 120, 45, 0.5}, {0, 100, 400, -1.5}};
    auto filter = make<Effect::PolarFilter>();
    const Pixels source = makePixels(16, 12, bands);
    for (const Disc& d : cases) {
        SCOPED_TRACE(testing::Message() << "hole " << d.hole << " zoom " << d.zoom << " angle " << d.angle << " swirl "
                                        << d.swirl);
        set(filter->centerWidth, d.hole);
        set(filter->zoom, d.zoom);
        set(filter->angle, d.angle);
        set(filter->swirl, d.swirl);
        context.view.centerX = 3;
        context.view.centerY = -2;
        auto input = upload(source);
        auto result = filter->filterVideo(context, input);
        ASSERT_TRUE(result);
        EXPECT_EQ(context.view.centerX, 0);
        EXPECT_EQ(context.view.centerY, 0);
        std::vector<bool> compared;
        const Pixels expected = polar(source, d, compared);
        const Pixels got = download(*result);
        ASSERT_EQ(got.width, expected.width);
        ASSERT_EQ(got.height, expected.height);
        double worst = 0;
        size_t skipped = 0;
        for (uint32_t y = 0; y < got.height; ++y)
            for (uint32_t x = 0; x < got.width; ++x) {
                if (!compared[size_t(y) * got.width + x]) {
                    ++skipped;
                    continue;
                }
                for (int c = 0; c < 4; ++c) worst = std::max(worst, std::abs(got.at(x, y, c) - expected.at(x, y, c)));
            }
        EXPECT_LT(skipped, compared.size() / 20);
        EXPECT_LT(worst, 4e-3);
        // The corners lie beyond the rim.
        EXPECT_EQ(got.at(0, 0, 3), 0);
        EXPECT_EQ(got.at(got.width - 1, got.height - 1, 3), 0);
    }
    // A square of side ceiling(2 x 200 / pi) for 100 x 100 at the defaults.
    set(filter->centerWidth, 0);
    set(filter->zoom, 100);
    auto result = filter->filterVideo(context, upload(makePixels(100, 100, bands)));
    EXPECT_EQ(result->width, 128u);
    EXPECT_EQ(result->height, 128u);
}

}  // namespace
