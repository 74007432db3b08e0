// The audio outputs: volume and balance applied to the context's gains, and
// the object's samples added into the scene's mix.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "effect/AudioRenderContext.h"
#include "effects/AudioOutput.h"
#include "effects/MovieOutput.h"
#include "effects/OutputFixture.h"
#include "media/audio/AudioBuffer.h"

namespace OutputTest {
namespace {

// A buffer of the channels holding one value per channel (left, right).
Media::AudioBuffer filled(int32_t samples, int32_t channels, float left, float right) {
    Media::AudioBuffer buffer;
    buffer.resize(samples, channels);
    std::fill(buffer.getChannel(0), buffer.getChannel(0) + samples, left);
    if (channels == 2)
        std::fill(buffer.getChannel(1), buffer.getChannel(1) + samples, right);
    return buffer;
}

std::vector<float> samples(const Media::AudioBuffer& buffer, int32_t channel, int32_t count) {
    const float* p = buffer.getChannel(channel);
    return std::vector<float>(p, p + count);
}

TEST(AudioOutput, VolumeAndBalanceWeighTheSidesOfTheMix) {
    struct Case {
        const char* name;
        double volume, pan;
        int32_t sourceChannels, mixChannels;
        float contextLeft;
        float left, right;  // added to each side of the mix (a mono mix: left)
    };
    // The source holds 0.5 on its left (or only) channel and 0.25 on its right.
    const Case cases[] = {
        {"unchanged", 100, 0, 2, 2, 1, 0.5f, 0.25f},
        {"左右 100 silences the left", 100, 100, 2, 2, 1, 0, 0.25f},
        {"左右 -100 silences the right", 100, -100, 2, 2, 1, 0.5f, 0},
        {"音量 0 silences both", 0, 0, 2, 2, 1, 0, 0},
        {"half volume, half right", 50, 50, 2, 2, 1, 0.125f, 0.125f},
        {"mono into stereo is heard on both sides", 100, 0, 1, 2, 1, 0.5f, 0.5f},
        {"mono into stereo, right only", 100, 100, 1, 2, 1, 0, 0.5f},
        {"stereo into mono sums the sides by their factors", 100, 50, 2, 1, 1, 0.5f * 0.5f + 0.25f, 0},
        {"the gain the context brings is kept", 100, 0, 2, 2, 0.5f, 0.25f, 0.25f},
    };
    for (const Case& c : cases) {
        Effect::AudioOutput output;
        setItem(output.volume, c.volume);
        setItem(output.pan, c.pan);
        Render::AudioRenderContext context;
        context.leftGain = c.contextLeft;
        Media::AudioBuffer mix = filled(16, c.mixChannels, 0.1f, 0.1f);
        output.outputAudio(context, mix, std::make_shared<Media::AudioBuffer>(filled(16, c.sourceChannels, 0.5f, 0.25f)));
        EXPECT_EQ(samples(mix, 0, 16), std::vector<float>(16, 0.1f + c.left)) << c.name;
        if (c.mixChannels == 2)
            EXPECT_EQ(samples(mix, 1, 16), std::vector<float>(16, 0.1f + c.right)) << c.name;
    }
}

TEST(AudioOutput, MovieOutputAppliesItsVolumeWithoutBalance) {
    Effect::MovieOutput output;
    setItem(output.volume, 50);
    Render::AudioRenderContext context;
    context.rightGain = 0.5f;
    Media::AudioBuffer mix = filled(8, 2, 0, 0);
    output.outputAudio(context, mix, std::make_shared<Media::AudioBuffer>(filled(8, 2, 0.5f, 0.5f)));
    EXPECT_EQ(samples(mix, 0, 8), std::vector<float>(8, 0.25f));
    EXPECT_EQ(samples(mix, 1, 8), std::vector<float>(8, 0.125f));
    EXPECT_EQ(context.leftGain, 0.5f);
    EXPECT_EQ(context.rightGain, 0.25f);
}

// Only the shorter buffer's own samples are added: whatever lies in the
// padding after them never reaches the mix, and the mix's tail is untouched.
TEST(AudioOutput, AShorterBufferAddsOnlyItsOwnLength) {
    for (int32_t channels : {1, 2}) {
        Media::AudioBuffer source = filled(5, channels, 0.5f, 0.5f);
        for (int32_t c = 0; c < channels; ++c)
            std::fill(source.getChannel(c) + 5, source.getChannel(c) + 8, 99.0f);  // noise in the padding
        Media::AudioBuffer mix = filled(16, 2, 0.1f, 0.1f);
        Effect::OutputAudioEffect::mixAudio(mix, source, 1, 1);
        std::vector<float> want(16, 0.1f);
        std::fill(want.begin(), want.begin() + 5, 0.6f);
        EXPECT_EQ(samples(mix, 0, 16), want) << channels;
        EXPECT_EQ(samples(mix, 1, 16), want) << channels;

        Media::AudioBuffer shortMix = filled(5, 2, 0.1f, 0.1f);
        Effect::OutputAudioEffect::mixAudio(shortMix, filled(16, channels, 0.5f, 0.5f), 1, 1);
        EXPECT_EQ(samples(shortMix, 0, 8), (std::vector<float>{0.6f, 0.6f, 0.6f, 0.6f, 0.6f, 0, 0, 0})) << channels;
    }
    Media::AudioBuffer mix = filled(8, 2, 0.1f, 0.1f), empty;
    Effect::OutputAudioEffect::mixAudio(mix, empty, 1, 1);
    EXPECT_EQ(samples(mix, 0, 8), std::vector<float>(8, 0.1f));
}

}  // namespace
}  // namespace OutputTest
