#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "FilterPassFixture.h"
#include "edit/Object.h"
#include "filters/NoiseFilter.h"
#include "media/gpu/NoiseTexture.h"

namespace {

using NoiseTest = FilterPassFixture;

std::array<double, 4> plain(uint32_t x, uint32_t y) {
    const double a = 0.7 + 0.02 * x - 0.01 * y;
    return {(0.3 + 0.03 * x) * a, (0.6 - 0.02 * y) * a, 0.5 * a, a};
}

struct Noise {
    int kind;
    bool brightness;
    double strength, threshold;
    int seed;
    double speedX, speedY, change, cycleX, cycleY;
};

// The pattern's shift for a seed: two values of the generator in 0 .. 1.
std::array<double, 2> seedShift(int seed) {
    const uint64_t s = uint64_t(int64_t(seed));
    const uint64_t a = s * 135829;
    const uint64_t b = (a ^ (a << 17) ^ 0x137bd137bd137bd1ull) + s;
    const uint64_t c = b ^ (b >> 19) ^ 0x37bd137bd137bd13ull;
    const uint64_t d = (c ^ (c << 41) ^ 0x7bd137bd137bd137ull) + s;
    uint64_t h = d ^ (d >> 47) ^ 0xbd137bd137bd137bull;
    std::array<double, 2> u{};
    for (double& value : u) {
        uint64_t x = h * 97555 - (h / 135829) * 135829;
        x = x ^ (x << 17) ^ 0x137bd137bd137bd1ull;
        x = x ^ (x >> 19) ^ 0x37bd137bd137bd13ull;
        x = x ^ (x << 41) ^ 0x7bd137bd137bd137ull;
        h = x ^ (x >> 47) ^ 0xbd137bd137bd137bull;
        value = double(h % 4294967297ull) / 4294967296.0;
    }
    return u;
}

double octaves(const std::vector<float>& field, double px, double py, double pz, bool magnitude) {
    const auto corner = [&](long x, long y, long z) {
        return double(field[size_t((y + 79 * z) & 255) * 256 + size_t((x + 79 * z) & 255)]);
    };
    const double step[3] = {0.02734375, 0.06640625, 0.12109375};
    double q[3] = {px, py, pz}, n = 0;
    for (int octave = 0; octave < 6; ++octave) {
        long c[3];
        double w[3];
        for (int i = 0; i < 3; ++i) {
            c[i] = long(std::floor(q[i]));
            w[i] = (1 - std::cos(M_PI * (q[i] - c[i]))) / 2;
        }
        double v = 0;
        for (int k = 0; k < 8; ++k) {
            const int ox = k & 1, oy = (k >> 1) & 1, oz = k >> 2;
            v += corner(c[0] + ox, c[1] + oy, c[2] + oz) * (ox ? w[0] : 1 - w[0]) * (oy ? w[1] : 1 - w[1]) *
                 (oz ? w[2] : 1 - w[2]);
        }
        n = n * 0.5 + (magnitude ? std::abs(v) : v);
        for (int i = 0; i < 3; ++i) q[i] = q[i] * 0.5 + step[i];
    }
    return n;
}

// The permutation sampled bilinearly with wrapping at a position in texels.
double wrapped(const std::vector<float>& field, double x, double y) {
    const long x0 = long(std::floor(x)), y0 = long(std::floor(y));
    const double fx = x - x0, fy = y - y0;
    const auto at = [&](long i, long j) { return double(field[size_t(j & 255) * 256 + size_t(i & 255)]); };
    return (at(x0, y0) * (1 - fx) + at(x0 + 1, y0) * fx) * (1 - fy) +
           (at(x0, y0 + 1) * (1 - fx) + at(x0 + 1, y0 + 1) * fx) * fy;
}

Pixels noisy(const Pixels& s, const Noise& n, double seconds) {
    static const std::vector<float> smooth = Resource::NoiseTexture::smoothNoise();
    static const std::vector<float> permutation = Resource::NoiseTexture::permutation();
    const double level = n.strength * 0.01, limit = n.threshold * 0.01, accelerate = n.change * seconds * 3;
    const auto [u1, u2] = seedShift(n.seed);
    const double ox = n.speedX * seconds * 30 + u1 * 256 - s.width * n.cycleX * 0.5;
    const double oy = n.speedY * seconds * 30 + u2 * 256 - s.height * n.cycleY * 0.5;
    Pixels t = s;
    for (uint32_t y = 0; y < s.height; ++y)
        for (uint32_t x = 0; x < s.width; ++x) {
            const double px = x * n.cycleX + ox, py = y * n.cycleY + oy;
            double v;
            if (n.kind == 3) {
                const double z = accelerate * 10, k = std::trunc(z);
                const double a = wrapped(permutation, px + 79 * k, py + 79 * k);
                const double b = wrapped(permutation, px + 79 * (k + 1), py + 79 * (k + 1));
                v = std::clamp(a + (b - a) * (z - k) - limit, 0.0, 1.0);
            } else {
                const double o = octaves(smooth, px, py, accelerate, n.kind == 1 || n.kind == 2 || n.kind == 4);
                const double shaped = n.kind == 0   ? o + 0.5
                                      : n.kind == 1 ? 1 - 2 * o
                                      : n.kind == 2 ? 2 * o
                                      : n.kind == 4 ? std::sin((0.5 - o + px / 256) * 4 * M_PI) * 0.5 + 0.5
                                                    : std::sin(std::sin(o * 8 * M_PI) * 2 * M_PI) * 0.5 + 0.5;
                v = std::clamp((shaped - limit) / (1 - limit), 0.0, 1.0);
            }
            const double a = level <= 1 ? 1 + (v - 1) * level : (2 - level) * v;
            for (int c = 0; c < (n.brightness ? 3 : 4); ++c) t.at(x, y, c) *= a;
        }
    return t;
}

void setValue(Effect::EffectItemNumber& item, double value) {
    item.values = {int32_t(std::lround(value * item.scale))};
}

void apply(Effect::NoiseFilter& filter, const Noise& n) {
    filter.kind.index = n.kind;
    filter.blend.index = n.brightness ? 1 : 0;
    setValue(filter.strength, n.strength);
    setValue(filter.threshold, n.threshold);
    filter.seed.value = n.seed;
    setValue(filter.speedX, n.speedX);
    setValue(filter.speedY, n.speedY);
    setValue(filter.changeSpeed, n.change);
    setValue(filter.cycleX, n.cycleX);
    setValue(filter.cycleY, n.cycleY);
}

TEST_F(NoiseTest, MultipliesTheImageByMovingNoise) {
    // Half a second into the object: the permutation's frames are mixed.
    auto object = std::make_shared<Edit::Object>(0, 30, 200);
    context.resetObject(object);
    context.preciseFrame = 45;
    const Noise cases[] = {
        {0, false, 100, 0, 0, 0, 0, 0, 1, 1},        {1, true, 60, 20, 7, 10, -5, 2, 0.5, 2},
        {2, false, 150, 0, 3, -4, 8, 0.5, 3, 1.5},   {3, false, 100, 10, 5, 3, 0, 0.3, 1, 1},
        {3, true, 170, 0, 9, 0, 2, 0.1, 0.3, 0.7},   {4, true, 100, 0, 100, 1, 1, 1, 2, 2},
        {5, false, 80, 30, 1, 0, 0, 0.2, 0.25, 0.5}, {0, false, 100, 0, 1, 0, 0, 0, 1, 1},
    };
    auto filter = make<Effect::NoiseFilter>();
    const Pixels source = makePixels(24, 20, plain);
    for (const Noise& n : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << n.kind << (n.brightness ? " brightness" : " alpha")
                                        << " strength " << n.strength << " threshold " << n.threshold << " seed "
                                        << n.seed << " change " << n.change);
        apply(*filter, n);
        auto input = upload(source);
        auto result = filter->filterVideo(context, input);
        ASSERT_TRUE(result);
        EXPECT_NE(result.get(), input.get()) << "a held image is drawn on a copy";
        EXPECT_LT(maxDifference(download(*input), source), 1e-6);
        // The permutation is sampled bilinearly at any fraction: more room for the filtering.
        EXPECT_LT(maxDifference(download(*result), noisy(source, n, 0.5)), n.kind == 3 ? 6e-3 : 3e-3);
    }
}

TEST_F(NoiseTest, NoStrengthKeepsFullStrengthOrThresholdRemoves) {
    struct Case {
        double strength, threshold;
        bool brightness;
        int kind;  // 0 unchanged, 1 transparent, 2 black with the alpha kept
    };
    const Case cases[] = {
        {0, 50, false, 0}, {200, 0, false, 1}, {100, 100, false, 1}, {200, 0, true, 2}, {50, 100, true, 2}};
    auto filter = make<Effect::NoiseFilter>();
    const Pixels source = makePixels(6, 5, plain);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "strength " << c.strength << " threshold " << c.threshold
                                        << (c.brightness ? " brightness" : " alpha"));
        apply(*filter, {0, c.brightness, c.strength, c.threshold, 0, 0, 0, 0, 1, 1});
        auto input = upload(source);
        auto result = filter->filterVideo(context, input);
        ASSERT_TRUE(result);
        if (c.kind == 0) {
            EXPECT_EQ(result.get(), input.get());
            continue;
        }
        EXPECT_LT(maxDifference(download(*input), source), 1e-6);
        Pixels expected = source;
        for (size_t i = 0; i < expected.rgba.size(); ++i)
            if (c.kind == 1 || i % 4 != 3) expected.rgba[i] = 0;
        EXPECT_LT(maxDifference(download(*result), expected), 1e-6);
    }
    // The only holder's image is drawn on in place.
    apply(*filter, {2, false, 100, 0, 0, 0, 0, 0, 1, 1});
    auto image = upload(source);
    Media::ResourceBuffer* drawn = image.get();
    EXPECT_EQ(filter->filterVideo(context, std::move(image)).get(), drawn);
}

}  // namespace
