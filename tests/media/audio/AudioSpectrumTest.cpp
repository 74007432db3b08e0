#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>
#include <vector>

#include "media/audio/AudioBuffer.h"
#include "media/audio/AudioSpectrum.h"

using Media::AudioBuffer;

namespace {

constexpr double kPi = 3.14159265358979323846;

AudioBuffer mono(const std::vector<float>& samples) {
    AudioBuffer buffer;
    buffer.resize(static_cast<int32_t>(samples.size()), 1);
    std::copy(samples.begin(), samples.end(), buffer.getChannel(0));
    return buffer;
}

AudioBuffer stereo(const std::vector<float>& samples) {
    AudioBuffer buffer;
    buffer.resize(static_cast<int32_t>(samples.size()), 2);
    std::copy(samples.begin(), samples.end(), buffer.getChannel(0));
    std::copy(samples.begin(), samples.end(), buffer.getChannel(1));
    return buffer;
}

std::vector<float> tone(size_t count, double bin, float amplitude) {
    std::vector<float> x(count);
    for (size_t i = 0; i < count; ++i) x[i] = amplitude * static_cast<float>(std::cos(2 * kPi * bin * i / 2048.0));
    return x;
}

TEST(AudioSpectrum, TransformHasTheMagnitudesOfTheDiscreteFourierTransform) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
    std::vector<float> randomBlock(2048);
    for (float& v : randomBlock) v = noise(random);
    std::vector<float> impulse(2048, 0.0f), shifted(2048, 0.0f);
    impulse[0] = 1.0f;
    shifted[5] = 1.0f;
    const std::vector<std::vector<float>> inputs = {impulse, shifted, tone(2048, 37, 0.5f), tone(2048, 1000.5, 1.0f),
                                                    randomBlock};
    for (size_t n = 0; n < inputs.size(); ++n) {
        std::vector<float> re = inputs[n], im(2048, 123.0f);  // im is cleared by the transform
        Media::computeFft(re.data(), im.data());
        double largest = 0;
        std::vector<double> want(1024);
        for (int k = 0; k < 1024; ++k) {
            std::complex<double> sum = 0;
            for (int i = 0; i < 2048; ++i) sum += double(inputs[n][i]) * std::polar(1.0, -2 * kPi * k * i / 2048.0);
            want[k] = std::abs(sum);
            largest = std::max(largest, want[k]);
        }
        for (int k = 0; k < 1024; ++k)
            ASSERT_NEAR(want[k], std::hypot(re[k], im[k]), 1e-4 * largest + 1e-4) << "input " << n << " bin " << k;
    }
}

TEST(AudioSpectrum, SilenceEmptyBuffersAndSteadyLevelsGiveZeroBands) {
    const AudioBuffer empty;
    const AudioBuffer silence = stereo(std::vector<float>(5000, 0.0f));
    const AudioBuffer dc = stereo(std::vector<float>(4096, 0.75f));  // the bands begin at bin 2
    for (const AudioBuffer* buffer : {&empty, &silence, &dc}) {
        for (int32_t bands : {1, 8, 16, 100, 128, 512, 513, 1024}) {
            EXPECT_EQ(std::vector<float>(bands, 0.0f), buffer->getSpectrum(bands)) << bands;
        }
        EXPECT_EQ(std::vector<float>(1024, 0.0f), buffer->getSpectrum(5000));
        EXPECT_TRUE(buffer->getSpectrum(0).empty());
        EXPECT_TRUE(buffer->getSpectrum(-3).empty());
    }
}

TEST(AudioSpectrum, AToneRaisesTheBandThatHoldsItsBin) {
    // Bin 607 lies inside band 472 (edges 605.6 .. 613.6). Its level is
    // 1024 a * 48 - 64, halved by the 1-2-1 smoothing; eight bands are not
    // smoothed again, and band 472 goes to target 7.
    const float a = 0.01f;
    const float level = (1024.0f * a * 48.0f - 64.0f) / 2.0f;
    const std::vector<float> got = stereo(tone(2048, 607, a)).getSpectrum(8);
    ASSERT_EQ(8u, got.size());
    for (int i = 0; i < 7; ++i) EXPECT_EQ(0.0f, got[i]) << i;
    EXPECT_NEAR(level, got[7], 0.05f);

    // Higher tones peak in higher bands, whatever the band count.
    for (int32_t bands : {16, 100, 512, 1024}) {
        int previous = -1;
        for (double bin : {40.0, 200.0, 500.0, 700.0}) {
            const std::vector<float> s = mono(tone(4096, bin, 0.2f)).getSpectrum(bands);
            const int peak = static_cast<int>(std::max_element(s.begin(), s.end()) - s.begin());
            EXPECT_GT(peak, previous) << bands << " bands, bin " << bin;
            EXPECT_GT(s[peak], 0.0f);
            previous = peak;
        }
    }
    // Source bands map to the nearest target; those rounding to the band
    // count are dropped, so one band holds the lower half only.
    EXPECT_GT(mono(tone(2048, 10, 0.2f)).getSpectrum(1)[0], 0.0f);
    EXPECT_EQ(std::vector<float>{0.0f}, mono(tone(2048, 900, 0.2f)).getSpectrum(1));
}

TEST(AudioSpectrum, FourierIsTheWrappedLastBlockOfTheChannelSum) {
    std::mt19937 random(11);
    std::uniform_real_distribution<float> noise(-0.5f, 0.5f);
    std::vector<float> samples(3000);
    for (float& v : samples) v = noise(random);
    std::vector<float> last(samples.begin() + 2048, samples.end());
    last.insert(last.end(), samples.begin(), samples.begin() + 1096);
    EXPECT_EQ(mono(last).getFourier(), mono(samples).getFourier());
    EXPECT_EQ(mono(samples).getFourier(), stereo(samples).getFourier());

    // A mono tone is counted twice: 1024 * 0.1 * 2 * 48.
    const std::vector<float> f = mono(tone(2048, 100, 0.1f)).getFourier();
    ASSERT_EQ(1024u, f.size());
    EXPECT_NEAR(9830.4f, f[100], 0.5f);
    EXPECT_NEAR(0.0f, f[99], 0.5f);
    // Loud input is limited.
    EXPECT_EQ(32767.0f, mono(tone(2048, 100, 1.0f)).getFourier()[100]);
    EXPECT_EQ(std::vector<float>(1024, 0.0f), AudioBuffer().getFourier());
}

}  // namespace
