#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "FilterPassFixture.h"
#include "edit/Object.h"
#include "filters/RasterFilter.h"
#include "media/gpu/NoiseTexture.h"

namespace {

using RasterTest = FilterPassFixture;

std::array<double, 4> patterned(uint32_t x, uint32_t y) {
    const double a = 0.5 + 0.04 * x + 0.03 * y;
    return {(x % 3) * 0.3 * a, (0.2 + 0.07 * y) * a, ((x + y) % 2 ? 0.8 : 0.3) * a, a};
}

struct Wave {
    int amplitude, length;
    double cycle;
    bool columns, random;
};

// The shifts of the lines on the CPU; a line whose rounding or random
// amplitude lies within single-precision noise of a step is marked doubtful.
struct Shifts {
    const Wave& wave;
    double phase;
    const std::vector<float>& field;
    bool doubtful = false;

    static bool nearStep(double v, double margin) { return std::abs(v - std::round(v)) < margin; }

    double amplitudeAt(long x, long y) const { return x < 0 || y < 0 ? 0.0 : double(field[size_t(y) * 256 + x]); }

    double shift(long line) {
        const double pi2 = 2 * M_PI / wave.length;
        if (!wave.random) return wave.amplitude * std::sin((line + phase) * pi2);
        static const double weights[3][3] = {{16, 8, 4}, {8, 4, 2}, {4, 2, 1}};
        double sum = 0;
        for (int p = 0; p < 3; ++p) {
            const double at = line + phase / (1 << p);
            for (int m = 0; m < 3; ++m) {
                const double h = 1 << m, step = h * at / wave.length;
                doubtful |= nearStep(step, 1e-4);
                const long k = long(std::trunc(step)) + 1 + m + 6 * p, i = k - 256 * (k / 256);
                const double a = p == 0 ? amplitudeAt(i, m + 1) : p == 1 ? amplitudeAt(7 + m, i) : amplitudeAt(i, i);
                sum += std::sin(h * at * pi2) * a * weights[m][p] / 49;
            }
        }
        return wave.amplitude * sum;
    }
};

// The raster on the CPU, and per output line whether it can be compared.
Pixels raster(const Pixels& s, const Wave& w, double seconds, std::vector<bool>& compared) {
    static const std::vector<float> field = Resource::NoiseTexture::smoothNoise();
    const long lines = w.columns ? s.width : s.height, along = (w.columns ? s.height : s.width) + 2 * w.amplitude;
    const double phase = seconds * w.cycle * w.length + double(w.length) * (lines / w.length + 1) - lines / 2.0;
    Pixels t(w.columns ? s.width : uint32_t(along), w.columns ? uint32_t(along) : s.height);
    compared.assign(size_t(lines), true);
    for (long line = 0; line < lines; ++line) {
        Shifts shifts{w, phase, field};
        const double before = shifts.shift(line - 1), after = shifts.shift(line + 1);
        const double lo = std::min(before, after) + 0.5, hi = std::max(before, after) + 0.5;
        if (shifts.doubtful || Shifts::nearStep(lo, 1e-3) || Shifts::nearStep(hi, 1e-3)) compared[line] = false;
        for (long q = 0; q < along; ++q) {
            const long first = q - w.amplitude + long(std::trunc(lo)), last = q - w.amplitude + long(std::trunc(hi));
            std::array<double, 4> sum{};
            for (long i = first; i <= last; ++i) {
                const auto v = w.columns ? CpuPass::texel(s, line, i) : CpuPass::texel(s, i, line);
                for (int c = 0; c < 4; ++c) sum[c] += v[c];
            }
            for (int c = 0; c < 4; ++c)
                (w.columns ? t.at(line, q, c) : t.at(q, line, c)) = sum[c] / double(last - first + 1);
        }
    }
    return t;
}

TEST_F(RasterTest, LinesShiftedByTheTravellingWave) {
    // 0.4 seconds into the object.
    auto object = std::make_shared<Edit::Object>(0, 3, 100);
    context.resetObject(object);
    context.preciseFrame = 15;
    const Wave cases[] = {
        {3, 7, 1.5, false, false},  {4, 5, -2, true, false}, {1, 40, 1, false, false},
        {40, 6, 0.75, false, true}, {30, 4, -1, true, true}, {60, 9, 3, false, true},
    };
    auto filter = make<Effect::RasterFilter>();
    const Pixels source = makePixels(11, 9, patterned);
    for (const Wave& w : cases) {
        SCOPED_TRACE(testing::Message() << "amplitude " << w.amplitude << " length " << w.length << " cycle " << w.cycle
                                        << (w.columns ? " columns" : "") << (w.random ? " random" : ""));
        set(filter->width, w.amplitude);
        set(filter->height, w.length);
        set(filter->cycle, w.cycle);
        filter->vertical.value = w.columns;
        filter->randomAmplitude.value = w.random;
        auto input = upload(source);
        auto result = filter->filterVideo(context, input);
        ASSERT_TRUE(result);
        std::vector<bool> compared;
        const Pixels expected = raster(source, w, 0.4, compared);
        const Pixels got = download(*result);
        ASSERT_EQ(got.width, expected.width);
        ASSERT_EQ(got.height, expected.height);
        size_t lines = 0;
        double worst = 0;
        for (uint32_t y = 0; y < got.height; ++y)
            for (uint32_t x = 0; x < got.width; ++x) {
                if (!compared[w.columns ? x : y]) continue;
                lines += (w.columns ? y : x) == 0;
                for (int c = 0; c < 4; ++c) worst = std::max(worst, std::abs(got.at(x, y, c) - expected.at(x, y, c)));
            }
        EXPECT_GE(lines, compared.size() - 2) << "nearly every line compared";
        EXPECT_LT(worst, 2e-3);

        EXPECT_LT(maxDifference(download(*input), source), 1e-6);
    }
}

TEST_F(RasterTest, NoAmplitudeOrWavelengthHandsTheImageOn) {
    auto filter = make<Effect::RasterFilter>();
    for (const auto& [amplitude, length] : {std::pair{0.0, 100.0}, {100.0, 0.0}, {0.4, 100.0}}) {
        set(filter->width, amplitude);
        set(filter->height, length);
        auto image = upload(makePixels(4, 3, patterned));
        EXPECT_EQ(filter->filterVideo(context, image).get(), image.get()) << amplitude << " " << length;
    }
}

}  // namespace
