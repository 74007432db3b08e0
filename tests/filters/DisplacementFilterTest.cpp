#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "FilterPassFixture.h"
#include "OnePicture.h"
#include "filters/DisplacementFilter.h"

namespace {

class DisplacementTest : public FilterPassFixture {
protected:
    void TearDown() override {
        pictures.picture.reset();
        FilterPassFixture::TearDown();
    }
    // The map item's pictures.
    OnePicture pictures;
};

std::array<double, 4> scene(uint32_t x, uint32_t y) {
    const double a = 0.6 + 0.3 * std::sin(x * 0.35 + y * 0.2);
    return {(0.5 + 0.4 * std::sin(x * 0.3)) * a, (0.5 + 0.4 * std::cos(y * 0.4)) * a, 0.4 * a, a};
}

// Map pictures, premultiplied: mid grey moves nothing, red 1 moves by the
// whole strength, the gradient differently everywhere.
std::array<double, 4> grey(uint32_t, uint32_t) { return {0.5, 0.5, 0.5, 1}; }
std::array<double, 4> red(uint32_t, uint32_t) { return {1, 0.5, 0.5, 1}; }
std::array<double, 4> gradient(uint32_t x, uint32_t y) {
    const double a = 0.8 + 0.02 * y;
    return {(0.2 + 0.08 * x) * a, (0.9 - 0.07 * y) * a, 0.5 * a, a};
}

struct Setting {
    const char* what;
    std::array<double, 4> (*map)(uint32_t, uint32_t);
    int method;
    double x, y, angle, size, aspect, blur, moveX, moveY, zoom, zoomAspect, rotation;
    bool fit;
};

// The footprint sampling of the source around the centre.
std::array<double, 4> footprint(const Pixels& s, double cx, double cy, double sx, double sy) {
    sx = std::abs(sx), sy = std::abs(sy);
    if (sx < 1.05 && sy < 1.05) return CpuPass::sample(s, cx / s.width, cy / s.height);
    const int nx = std::min(int(sx * 0.5 + 1.5), 16), ny = std::min(int(sy * 0.5 + 1.5), 16);
    std::array<double, 4> sum{};
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i) {
            const auto v = CpuPass::sample(s, (cx - sx / 2 + sx / nx * (i + 0.5)) / s.width,
                                           (cy - sy / 2 + sy / ny * (j + 0.5)) / s.height);
            for (int c = 0; c < 4; ++c) sum[c] += v[c] / (nx * ny);
        }
    return sum;
}

double scaleLength(double g) { return g > 0 ? 2 / (g + 1) - 2 : -2 * g; }

// The map's scale comes from the picture before its blur, which grows it.
Pixels displaced(const Pixels& s, const Pixels& map, uint32_t pictureSide, const Setting& d) {
    const double v = d.size / pictureSide, a = d.aspect * 0.01;
    double mapWidth = s.width, mapHeight = s.height;
    if (!d.fit) {
        mapWidth = map.width * v * (a > 0 ? 1 - a : 1);
        mapHeight = map.height * v * (a < 0 ? 1 + a : 1);
    }
    const double ox = -double(s.width) / 2 - d.x, oy = -double(s.height) / 2 - d.y;
    const double turn = d.angle * M_PI / 180, sn = std::sin(turn), cs = std::cos(turn);
    double lx = d.moveX * 2, ly = d.moveY * 2;
    if (d.method == 1) {
        const double g = d.zoom * 0.01, ga = d.zoomAspect * 0.01;
        lx = scaleLength(ga > 0 ? g * (1 - ga) : g);
        ly = scaleLength(ga < 0 ? g * (1 + ga) : g);
    } else if (d.method == 2) {
        lx = d.rotation * 0.01 * -4 * M_PI;
    }
    Pixels t(s.width, s.height);
    for (uint32_t y = 0; y < s.height; ++y)
        for (uint32_t x = 0; x < s.width; ++x) {
            const double qx = x + ox, qy = y + oy, tx = (qx + 0.5) * cs + (qy + 0.5) * sn,
                         ty = -(qx + 0.5) * sn + (qy + 0.5) * cs;
            double dr[4], dg[4];
            for (int i = 0; i < 4; ++i) {
                const auto m = CpuPass::sample(map, (tx - 0.5 + (i & 1)) / mapWidth + 0.5,
                                               (ty - 0.5 + (i >> 1)) / mapHeight + 0.5);
                dr[i] = m[0] - m[3] / 2;
                dg[i] = m[1] - m[3] / 2;
            }
            double lo[2] = {1e30, 1e30}, hi[2] = {-1e30, -1e30}, centre[2], extent[2];
            for (int i = 0; i < 4; ++i) {
                double p[2];
                if (d.method == 2) {
                    const double cx = qx + (i & 1), cy = qy + (i >> 1), turnBy = dr[i] * lx;
                    p[0] = cx * std::cos(turnBy) - cy * std::sin(turnBy);
                    p[1] = cx * std::sin(turnBy) + cy * std::cos(turnBy);
                } else {
                    p[0] = dr[i] * lx * (d.method == 1 ? qx : 1);
                    p[1] = dg[i] * ly * (d.method == 1 ? qy : 1);
                }
                for (int k = 0; k < 2; ++k) lo[k] = std::min(lo[k], p[k]), hi[k] = std::max(hi[k], p[k]);
            }
            for (int k = 0; k < 2; ++k) {
                centre[k] = (lo[k] + hi[k]) / 2 - (d.method == 2 ? (k ? qy : qx) + 0.5 : 0);
                extent[k] = hi[k] - lo[k];
            }
            const auto out = footprint(s, x + 0.5 + centre[0], y + 0.5 + centre[1], extent[0], extent[1]);
            for (int c = 0; c < 4; ++c) t.at(x, y, c) = out[c];
        }
    return t;
}

void setValue(Effect::EffectItemNumber& item, double value) {
    item.values = {int32_t(std::lround(value * item.scale))};
}

void apply(Effect::DisplacementFilter& f, const Setting& d) {
    f.method.index = d.method;
    setValue(f.x, d.x);
    setValue(f.y, d.y);
    setValue(f.angle, d.angle);
    setValue(f.size, d.size);
    setValue(f.aspect, d.aspect);
    setValue(f.blur, d.blur);
    setValue(f.moveX, d.moveX);
    setValue(f.moveY, d.moveY);
    setValue(f.zoom, d.zoom);
    setValue(f.zoomAspect, d.zoomAspect);
    setValue(f.rotation, d.rotation);
    f.fitSize.value = d.fit;
}

TEST_F(DisplacementTest, PixelsTakenFromWhereTheMapSends) {
    // what, map, method, X, Y, 回転, サイズ, 縦横比, ぼかし, 変形X, 変形Y, 拡大変形, 拡大縦横, 回転変形, fit
    const Setting cases[] = {
        {"mid grey moves nothing", grey, 0, 0, 0, 0, 200, 0, 0, 30, -20, 0, 0, 0, false},
        {"red 1 takes from 10 to the right", red, 0, 0, 0, 0, 200, 0, 0, 10, 0, 0, 0, 0, false},
        {"a gradient map, placed and turned", gradient, 0, 2, -1, 30, 16, 0, 0, 3, -2, 0, 0, 0, false},
        {"a narrowed map", gradient, 0, 0, 0, 0, 20, 50, 0, 2, 2, 0, 0, 0, false},
        {"a lowered map", gradient, 0, 0, 0, 0, 20, -40, 0, -2, 3, 0, 0, 0, false},
        {"a map over the whole object", gradient, 0, 3, 0, 0, 5, 90, 0, 4, 1, 0, 0, 0, true},
        {"a blurred map", gradient, 0, 0, 0, 0, 12, 0, 2, 3, 3, 0, 0, 0, false},
        {"strong moves spread the footprint", gradient, 0, 0, 0, 0, 30, 0, 0, 60, -40, 0, 0, 0, false},
        {"enlarged twice", red, 1, 0, 0, 0, 200, 0, 0, 0, 0, 100, 0, 0, false},
        {"enlarged, wider than high", red, 1, 1, 2, 0, 200, 0, 0, 0, 0, 100, 30, 0, false},
        {"shrunk, higher than wide", gradient, 1, 0, 0, 0, 40, 0, 0, 0, 0, -50, -40, 0, false},
        {"turned a quarter", red, 2, 0, 0, 0, 200, 0, 0, 0, 0, 0, 0, 25, false},
        {"turned by a gradient", gradient, 2, -2, 1, 20, 30, 0, 0, 0, 0, 0, 0, 10, false},
    };
    auto filter = make<Effect::DisplacementFilter>();
    const Pixels source = makePixels(24, 20, scene);
    for (const Setting& d : cases) {
        SCOPED_TRACE(d.what);
        const Pixels map = makePixels(8, 8, d.map);
        pictures.picture = upload(map);
        apply(*filter, d);
        auto input = upload(source);
        auto result = filter->filterVideo(context, input);
        ASSERT_TRUE(result);
        ASSERT_NE(result.get(), input.get());
        const Pixels blurred = d.blur > 0 ? CpuBlur::blur(map, int(d.blur), 0, 0) : map;
        EXPECT_LT(maxDifference(download(*result), displaced(source, blurred, 8, d)), 4e-3);
        EXPECT_LT(maxDifference(download(*input), source), 1e-6);
        if (d.map == red && d.method == 0) {
            // Each pixel is the one 10 to its right.
            const Pixels got = download(*result);
            for (uint32_t y = 0; y < source.height; ++y)
                for (uint32_t x = 0; x + 10 < source.width; ++x)
                    for (int c = 0; c < 4; ++c) ASSERT_NEAR(got.at(x, y, c), source.at(x + 10, y, c), 2e-3);
        }
    }
}

TEST_F(DisplacementTest, NoMapAreaOrNoMapHandsTheImageOn) {
    const Setting cases[] = {
        {"size 0", red, 0, 0, 0, 0, 0, 0, 0, 10, 0, 0, 0, 0, false},
        {"aspect 100", red, 0, 0, 0, 0, 200, 100, 0, 10, 0, 0, 0, 0, false},
        {"aspect -100", red, 0, 0, 0, 0, 200, -100, 0, 10, 0, 0, 0, 0, false},
        {"no picture", nullptr, 0, 0, 0, 0, 200, 0, 0, 10, 0, 0, 0, 0, false},
    };
    auto filter = make<Effect::DisplacementFilter>();
    for (const Setting& d : cases) {
        SCOPED_TRACE(d.what);
        pictures.picture = d.map ? upload(makePixels(4, 4, d.map)) : nullptr;
        apply(*filter, d);
        auto image = upload(makePixels(6, 5, scene));
        EXPECT_EQ(filter->filterVideo(context, image).get(), image.get());
    }
}

TEST(DisplacementItems, OnlyTheChosenMethodsStrengthsAreEnabled) {
    struct Case {
        int32_t method;
        bool move, scale, rotate;
    };
    const Case cases[] = {{0, true, false, false},
                          {1, false, true, false},
                          {2, false, false, true},
                          {3, false, false, false}};
    Effect::DisplacementFilter filter;
    EXPECT_EQ(filter.method.notify, 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.method);
        filter.method.index = c.method;
        filter.updateItemState();
        EXPECT_EQ(bool(filter.moveX.shown), c.move);
        EXPECT_EQ(bool(filter.moveY.shown), c.move);
        EXPECT_EQ(bool(filter.zoom.shown), c.scale);
        EXPECT_EQ(bool(filter.zoomAspect.shown), c.scale);
        EXPECT_EQ(bool(filter.rotation.shown), c.rotate);
    }
}

}  // namespace
