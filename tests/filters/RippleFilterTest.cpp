#include <gtest/gtest.h>

#include <cmath>

#include "FilterPassFixture.h"
#include "edit/Object.h"
#include "filters/RippleFilter.h"

namespace {

using RippleTest = FilterPassFixture;

// Soft colour gradients, so that moved pixels show without sharp steps.
std::array<double, 4> gradient(uint32_t x, uint32_t y) {
    const double a = 0.6 + 0.3 * std::sin(x * 0.3) * std::cos(y * 0.25);
    return {(0.5 + 0.4 * std::sin(x * 0.4)) * a, (0.5 + 0.4 * std::cos(y * 0.35)) * a, 0.3 * a, a};
}

struct Waves {
    double cx, cy, width, height, travelled;
    int count, interval, amplify;
};

Pixels rippled(const Pixels& s, const Waves& w) {
    const double centerX = s.width * 0.5 + w.cx, centerY = s.height * 0.5 + w.cy;
    const double perWave = 1 / (w.width * 2), half = w.height * 0.5;
    const int interval = w.interval + 1, count = interval * w.count, amplify = interval * w.amplify;
    Pixels t(s.width, s.height);
    for (uint32_t y = 0; y < s.height; ++y)
        for (uint32_t x = 0; x < s.width; ++x) {
            const double dx = x + 0.5 - centerX, dy = y + 0.5 - centerY, r = std::hypot(dx, dy);
            const double wave = (w.travelled - r) * perWave;
            const int k = int(std::floor(wave));
            double h = (std::cos(2 * M_PI * (wave - k)) - 1) * half / r;
            if (count > 0 && (k < 0 || k >= count)) h = 0;
            if (k % interval != 0) h = 0;
            if (amplify > 0 && k < amplify) h *= double(k) / amplify;
            if (amplify < 0) h = k < -amplify ? h * (double(k) / -amplify - 1) : 0;
            const auto v = CpuPass::sample(s, (x + 0.5 + dx * h) / s.width, (y + 0.5 + dy * h) / s.height);
            for (int c = 0; c < 4; ++c) t.at(x, y, c) = v[c];
        }
    return t;
}

TEST_F(RippleTest, WavesTravelOutFromTheCentre) {
    // 2 seconds into the object at 30 frames a second; the waves have
    // travelled speed x 2 pixels.
    auto object = std::make_shared<Edit::Object>(0, 10, 200);
    context.resetObject(object);
    context.preciseFrame = 70;
    struct Case {
        double speed;
        Waves waves;
    };
    const Case cases[] = {
        {15, {0, 0, 3, 8, 30, 0, 0, 0}},      // endless rings
        {15, {4, -3, 2.5, -6, 30, 3, 1, 0}},  // waves 0, 2 and 4 only
        {20, {0, 0, 2, 10, 40, 0, 0, 5}},     // the first five grow
        {20, {-2, 1, 2, 10, 40, 0, 0, -5}},   // the first five fall, later ones flat
        {20, {0, 0, 2, 10, 40, 6, 2, 2}},
    };
    auto filter = make<Effect::RippleFilter>();
    const Pixels source = makePixels(36, 30, gradient);
    for (const Case& c : cases) {
        const Waves& w = c.waves;
        SCOPED_TRACE(testing::Message() << "width " << w.width << " count " << w.count << " interval " << w.interval
                                        << " amplify " << w.amplify);
        set(filter->centerX, w.cx);
        set(filter->centerY, w.cy);
        set(filter->width, w.width);
        set(filter->height, w.height);
        set(filter->speed, c.speed);
        filter->count.value = w.count;
        filter->interval.value = w.interval;
        filter->amplify.value = w.amplify;
        auto input = upload(source);
        auto result = filter->filterVideo(context, input);
        ASSERT_TRUE(result);
        const Pixels got = download(*result);
        EXPECT_LT(maxDifference(got, rippled(source, w)), 4e-3);
        EXPECT_GT(maxDifference(got, source), 0.05) << "the waves move something";
        EXPECT_LT(maxDifference(download(*input), source), 1e-6);
    }
}

}  // namespace
