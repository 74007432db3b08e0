#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "edit/Object.h"
#include "edit/Scene.h"
#include "effect/AudioRenderContext.h"
#include "filters/AudioFadeFilter.h"
#include "filters/AudioMonoFilter.h"
#include "filters/AudioVolume.h"
#include "media/audio/AudioBuffer.h"

namespace {

// One object of frames 0 .. 30 in a 30 frames per second scene, and blocks of
// known samples.
class AudioFiltersTest : public ::testing::Test {
protected:
    void SetUp() override {
        context.scene = &scene;
        at(0);
    }
    void at(int32_t frame) {
        context.object = object;
        context.frame = frame;
        context.preciseFrame = frame;
        context.section = Render::SectionPosition::locate(*object, frame, frame);
    }
    // Left sample k = 1 + k / 100, right = -0.5 - k / 100.
    static std::shared_ptr<Media::AudioBuffer> block(int32_t samples, int32_t channels) {
        auto audio = std::make_shared<Media::AudioBuffer>();
        audio->resize(samples, channels);
        for (int32_t k = 0; k < samples; ++k) {
            audio->getChannel(0)[k] = left(k);
            if (channels == 2) audio->getChannel(1)[k] = right(k);
        }
        return audio;
    }
    static float left(int32_t k) { return 1.0f + float(k) / 100; }
    static float right(int32_t k) { return -0.5f - float(k) / 100; }

    Edit::Scene scene{0, 0};
    std::shared_ptr<Edit::Object> object = std::make_shared<Edit::Object>(0, 0, 30);
    Render::AudioRenderContext context;
};

TEST_F(AudioFiltersTest, VolumeAndBalanceChangeOnlyTheGains) {
    struct Case {
        const char* what;
        double volume, pan;
        float leftGain, rightGain;
    };
    const Case cases[] = {
        {"defaults", 100, 0, 1, 1},
        {"half volume", 50, 0, 0.5f, 0.5f},
        {"balance 100 silences the left", 100, 100, 0, 1},
        {"balance -100 silences the right", 100, -100, 1, 0},
        {"balance 25 with double volume", 200, 25, 1.5f, 2},
        {"balance -40", 100, -40, 1, 0.6f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Effect::AudioVolume filter;
        filter.volume.setValue(c.volume, 0);
        filter.pan.setValue(c.pan, 0);
        context.leftGain = 1;
        context.rightGain = 1;
        auto audio = block(20, 2);
        auto* raw = audio.get();
        EXPECT_EQ(filter.filterAudio(context, audio).get(), raw);
        EXPECT_NEAR(context.leftGain, c.leftGain, 1e-6);
        EXPECT_NEAR(context.rightGain, c.rightGain, 1e-6);
        for (int32_t k = 0; k < 20; ++k) EXPECT_EQ(raw->getChannel(0)[k], left(k));
    }
    // Two filters multiply.
    Effect::AudioVolume half;
    half.volume.setValue(50, 0);
    context.leftGain = context.rightGain = 1;
    (void)half.filterAudio(context, block(8, 2));
    (void)half.filterAudio(context, block(8, 2));
    EXPECT_FLOAT_EQ(context.leftGain, 0.25f);
}

TEST_F(AudioFiltersTest, MonoMixesWeightedChannelsIntoBoth) {
    struct Case {
        double ratio;
        float a, b;
    };
    const Case cases[] = {{0, 1, 1}, {-100, 0, 1}, {100, 1, 0}, {-25, 0.75f, 1}, {60, 1, 0.4f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ratio);
        Effect::AudioMonoFilter filter;
        filter.ratio.setValue(c.ratio, 0);
        auto audio = filter.filterAudio(context, block(13, 2));
        for (int32_t k = 0; k < 13; ++k) {
            const float m = c.a * left(k) + c.b * right(k);
            EXPECT_NEAR(audio->getChannel(0)[k], m, 1e-6) << k;
            EXPECT_NEAR(audio->getChannel(1)[k], m, 1e-6) << k;
        }
        // A mono block's one plane is both sides.
        auto mono = filter.filterAudio(context, block(13, 1));
        for (int32_t k = 0; k < 13; ++k) EXPECT_NEAR(mono->getChannel(0)[k], (c.a + c.b) * left(k), 1e-6) << k;
    }
}

TEST_F(AudioFiltersTest, FadeGainsAtTheEndsOfTheObject) {
    const double d = 1.0 / 30;
    struct Case {
        const char* what;
        double in, out, t, r;
        double first, last;
    };
    const Case cases[] = {
        {"no fades", 0, 0, 0, 1, 1, 1},
        {"first block fades in", 0.5, 0.5, 0, 1, 0, 1.0 / 15},
        {"half a second in: no fade", 0.5, 0.5, 0.5, 0.5, 1, 1},
        {"last block fades out", 0.5, 0.5, 1 - d, d, 1.0 / 15, 0},
        {"past the end stays silent", 0.5, 0.5, 1.2, -0.2, 0, 0},
        {"overlapping fades: the smaller wins", 0.8, 0.8, 0.3, 0.2, 0.25, 0.25 - d / 0.8},
        {"overlapping fades: the fade in wins", 0.8, 0.8, 0.1, 0.6, 0.125, 0.125 + d / 0.8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto g = Effect::AudioFadeFilter::fadeGains(c.in, c.out, c.t, c.r, d);
        EXPECT_NEAR(g.first, c.first, 1e-9);
        EXPECT_NEAR(g.last, c.last, 1e-9);
    }
}

// The block at frame 0 of a one-second object ramps from 0 to 1/15 over its
// samples, in both planes; a mono block takes the ramp once.
TEST_F(AudioFiltersTest, FadeRampsTheSamplesOfABlock) {
    Effect::AudioFadeFilter filter;
    const int32_t n = 21;  // not a whole number of groups of eight
    const double step = (1.0 / 15) / n;
    for (int32_t channels : {2, 1}) {
        SCOPED_TRACE(channels);
        auto audio = filter.filterAudio(context, block(n, channels));
        for (int32_t k = 0; k < n; ++k) {
            EXPECT_NEAR(audio->getChannel(0)[k], left(k) * k * step, 1e-6) << k;
            if (channels == 2) EXPECT_NEAR(audio->getChannel(1)[k], right(k) * k * step, 1e-6) << k;
        }
    }
    // Half a second in, nothing changes.
    at(15);
    auto audio = filter.filterAudio(context, block(n, 2));
    for (int32_t k = 0; k < n; ++k) EXPECT_EQ(audio->getChannel(1)[k], right(k));
    // With both fades 0 the first block is untouched.
    at(0);
    filter.fadeIn.setValue(0, 0);
    filter.fadeOut.setValue(0, 0);
    audio = filter.filterAudio(context, block(n, 2));
    for (int32_t k = 0; k < n; ++k) EXPECT_EQ(audio->getChannel(0)[k], left(k));
}

}  // namespace
