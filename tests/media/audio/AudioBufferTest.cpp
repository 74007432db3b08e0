#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "media/audio/AudioBlockBuffer.h"
#include "media/audio/AudioBuffer.h"
#include "media/audio/RawAudioBuffer.h"
#include "support/LogCapture.h"

using Media::AudioBlockBuffer;
using Media::AudioBuffer;
using Media::RawAudioBuffer;

namespace {

template <class T>
RawAudioBuffer rawBlock(int32_t tag, int32_t bits, int32_t channels, const std::vector<T>& values) {
    RawAudioBuffer raw;
    raw.formatTag = tag;
    raw.bitsPerSample = bits;
    raw.channels = channels;
    raw.blockAlign = channels * bits / 8;
    raw.data.allocMemory(static_cast<uint32_t>(values.size() * sizeof(T)));
    if (!values.empty()) std::memcpy(raw.data.data(), values.data(), values.size() * sizeof(T));
    return raw;
}

RawAudioBuffer outputBlock(int32_t tag, int32_t bits, int32_t channels) {
    RawAudioBuffer raw;
    raw.formatTag = tag;
    raw.bitsPerSample = bits;
    raw.channels = channels;
    raw.blockAlign = channels * bits / 8;
    return raw;
}

// A buffer with the given left and right samples (mono when right is empty).
AudioBuffer planar(const std::vector<float>& left, const std::vector<float>& right = {}) {
    AudioBuffer buffer;
    buffer.resize(static_cast<int32_t>(left.size()), right.empty() ? 1 : 2);
    for (size_t i = 0; i < left.size(); ++i) buffer.getChannel(0)[i] = left[i];
    for (size_t i = 0; i < right.size(); ++i) buffer.getChannel(1)[i] = right[i];
    return buffer;
}

std::vector<float> channel(const AudioBuffer& buffer, int index) {
    const float* p = buffer.getChannel(index);
    return std::vector<float>(p, p + buffer.samples);
}

TEST(AudioBuffer, ResizePadsPlanesToGroupsOfEightAndKeepsPlaneBForStereoOnly) {
    AudioBuffer buffer;
    buffer.resize(10, 2);
    EXPECT_EQ(64u, buffer.planeA.capacity());
    EXPECT_EQ(40u, buffer.planeA.size());
    EXPECT_EQ(64u, buffer.planeB.capacity());
    EXPECT_EQ(40u, buffer.planeB.size());
    EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(buffer.planeA.data()) % 32);
    EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(buffer.planeB.data()) % 32);
    // Left is plane B, right plane A.
    EXPECT_EQ(reinterpret_cast<float*>(buffer.planeB.data()), buffer.getChannel(0));
    EXPECT_EQ(reinterpret_cast<float*>(buffer.planeA.data()), buffer.getChannel(1));

    buffer.resize(10, 1);
    EXPECT_EQ(nullptr, buffer.planeB.data());
    EXPECT_EQ(0u, buffer.planeB.capacity());
    EXPECT_EQ(buffer.getChannel(0), buffer.getChannel(1));

    // Storage only grows; the used size follows the count.
    uint8_t* before = buffer.planeA.data();
    buffer.resize(3, 1);
    EXPECT_EQ(before, buffer.planeA.data());
    EXPECT_EQ(12u, buffer.planeA.size());
    EXPECT_EQ(3, buffer.samples);

    // Counts outside what is used never leave a plane that cannot be read.
    struct Case {
        int32_t samples, channels;
        int32_t wantSamples;
    };
    for (const Case c : {Case{-5, 2, 0}, Case{4, 0, 4}, Case{4, 3, 4}}) {
        AudioBuffer odd;
        odd.resize(c.samples, c.channels);
        EXPECT_EQ(c.wantSamples, odd.samples) << c.samples << "/" << c.channels;
        if (c.wantSamples > 0) {
            EXPECT_NE(nullptr, odd.getChannel(0)) << c.channels;
            EXPECT_NE(nullptr, odd.getChannel(1)) << c.channels;
        }
        odd.clear();
    }
}

TEST(AudioBuffer, ClearingZeroesThePlanesInUseFromTheIndex) {
    const std::vector<float> ones(11, 1.0f);
    struct Case {
        int32_t from;
        size_t firstZero;  // 11: nothing cleared
    };
    for (const Case c : {Case{0, 0}, Case{8, 8}, Case{5, 5}, Case{-3, 0}, Case{11, 11}, Case{40, 11}}) {
        for (bool stereo : {false, true}) {
            AudioBuffer buffer = planar(ones, stereo ? ones : std::vector<float>{});
            buffer.clearFrom(c.from);
            std::vector<float> want(11, 1.0f);
            std::fill(want.begin() + static_cast<long>(c.firstZero), want.end(), 0.0f);
            EXPECT_EQ(want, channel(buffer, 0)) << c.from << (stereo ? " stereo" : " mono");
            EXPECT_EQ(want, channel(buffer, 1)) << c.from << (stereo ? " stereo" : " mono");
        }
    }
    AudioBuffer buffer = planar(ones, ones);
    buffer.clear();
    EXPECT_EQ(std::vector<float>(11, 0.0f), channel(buffer, 0));
    EXPECT_EQ(std::vector<float>(11, 0.0f), channel(buffer, 1));
}

// Work done eight samples at a time reads the padding after the last sample:
// it must never hold an old value.
TEST(AudioBuffer, PaddingAfterTheSamplesStaysZero) {
    const auto padding = [](const AudioBuffer& b, int32_t channel) {
        const float* p = b.getChannel(channel);
        return std::vector<float>(p + b.samples, p + ((b.samples + 7) & ~7));
    };
    for (int32_t channels : {1, 2}) {
        AudioBuffer buffer;
        buffer.resize(16, channels);
        for (int32_t c = 0; c < channels; ++c)
            std::fill(buffer.getChannel(c), buffer.getChannel(c) + 16, 7.0f);
        buffer.resize(5, channels);  // shrinks in place: the old samples lie in the padding
        for (int32_t c = 0; c < channels; ++c)
            EXPECT_EQ(std::vector<float>(3, 0.0f), padding(buffer, c)) << channels << " channels, " << c;
        std::fill(buffer.getChannel(0), buffer.getChannel(0) + 8, 7.0f);  // a writer of whole groups
        buffer.clearFrom(2);
        EXPECT_EQ(std::vector<float>(3, 0.0f), padding(buffer, 0)) << channels << " channels after clearing";
    }
}

TEST(AudioBlockBuffer, ConvertsTheAcceptedRawFormatsToPlanes) {
    {
        AudioBlockBuffer block(rawBlock<int16_t>(1, 16, 2, {16384, -32768, 32767, 1}));
        EXPECT_EQ(2, block.channels);
        EXPECT_EQ(2, block.samples);
        EXPECT_EQ((std::vector<float>{0.5f, 32767.0f / 32768.0f}), channel(block, 0));
        EXPECT_EQ((std::vector<float>{-1.0f, 1.0f / 32768.0f}), channel(block, 1));
    }
    {
        AudioBlockBuffer block(rawBlock<float>(3, 32, 2, {0.25f, -0.5f, 2.0f, 3.0f, 9.0f}));  // half a frame extra
        EXPECT_EQ(2, block.samples);
        EXPECT_EQ((std::vector<float>{0.25f, 2.0f}), channel(block, 0));
        EXPECT_EQ((std::vector<float>{-0.5f, 3.0f}), channel(block, 1));
    }
    {
        AudioBlockBuffer block(rawBlock<float>(3, 32, 1, {0.125f, -1.5f, 7.0f}));
        EXPECT_EQ(1, block.channels);
        EXPECT_EQ((std::vector<float>{0.125f, -1.5f, 7.0f}), channel(block, 0));
        EXPECT_EQ(block.getChannel(0), block.getChannel(1));
    }
    {
        AudioBlockBuffer block(rawBlock<float>(3, 32, 2, {}));
        EXPECT_EQ(0, block.samples);
    }
}

TEST(AudioBlockBuffer, RefusesOtherRawFormats) {
    struct Case {
        int32_t tag, bits, channels;
        const char* note;
    };
    const Case cases[] = {
        {1, 16, 1, "format=1 bit=16 channel=1"}, {1, 8, 2, "format=1 bit=8 channel=2"},
        {1, 24, 2, "format=1 bit=24 channel=2"}, {3, 64, 2, "format=3 bit=64 channel=2"},
        {3, 32, 6, "format=3 bit=32 channel=6"}, {85, 16, 2, "format=85 bit=16 channel=2"},
    };
    for (const Case& c : cases) {
        LogCapture log;
        try {
            AudioBlockBuffer block(rawBlock<int16_t>(c.tag, c.bits, c.channels, {1, 2, 3, 4}));
            ADD_FAILURE() << c.note;
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string("invalid convert audio format.\n\n[Note]\n") + c.note +
                          "\n\n[Place]\nMedia::AudioBlockBuffer::AudioBlockBuffer()",
                      e.what());
        }
    }
}

TEST(AudioBuffer, ConvertsPlanesToRawBlocks) {
    const AudioBuffer stereo = planar({1.0f, 0.5f / 32768.0f, 1.5f / 32768.0f, 2.0f, -2.0f, NAN, 0.25f, -0.0f, 0.1f},
                                      {-1.0f, -0.5f / 32768.0f, 32767.5f / 32768.0f, -32768.7f / 32768.0f, 0.0f,
                                       0.75f, 0.5f, 1.0f / 65536.0f, -0.1f});
    {
        RawAudioBuffer out = outputBlock(1, 16, 2);
        stereo.convertTo(out);
        EXPECT_EQ(9, out.sampleCount);
        EXPECT_EQ(36u, out.data.size());
        EXPECT_GE(out.data.capacity(), 64u);  // room for whole groups of eight frames
        const auto* pcm = reinterpret_cast<const int16_t*>(out.data.data());
        const std::vector<int16_t> got(pcm, pcm + 18);
        const std::vector<int16_t> want{32767, -32768, 0,     0,     2,     32767, 32767, -32768, -32768,
                                        0,     -32768, 24576, 8192,  16384, 0,     0,     3277,  -3277};
        EXPECT_EQ(want, got);
    }
    {
        RawAudioBuffer out = outputBlock(3, 32, 2);
        stereo.convertTo(out);
        const auto* f = reinterpret_cast<const float*>(out.data.data());
        EXPECT_EQ(1.0f, f[0]);
        EXPECT_EQ(-1.0f, f[1]);
        EXPECT_EQ(0.25f, f[12]);
        EXPECT_EQ(0.5f, f[13]);
        EXPECT_EQ(72u, out.data.size());
    }
    {
        RawAudioBuffer out = outputBlock(3, 32, 1);
        planar({0.25f, -1.0f, 3.0f}).convertTo(out);  // mono: the sum of a plane with itself
        const auto* f = reinterpret_cast<const float*>(out.data.data());
        EXPECT_EQ((std::vector<float>{0.5f, -2.0f, 6.0f}), std::vector<float>(f, f + 3));
        planar({0.25f, 1.0f}, {0.5f, -3.0f}).convertTo(out);
        EXPECT_EQ(2, out.sampleCount);
        EXPECT_EQ((std::vector<float>{0.75f, -2.0f}), std::vector<float>(f, f + 2));
    }
    {
        RawAudioBuffer out = outputBlock(1, 16, 2);
        planar({0.5f, 0.25f}).convertTo(out);  // a mono buffer gives its plane to both channels
        const auto* pcm = reinterpret_cast<const int16_t*>(out.data.data());
        EXPECT_EQ((std::vector<int16_t>{16384, 16384, 8192, 8192}), std::vector<int16_t>(pcm, pcm + 4));
    }
}

TEST(AudioBuffer, RefusesRawFormatsItCannotWrite) {
    struct Case {
        int32_t tag, bits, channels, blockAlign;
        const char* note;
    };
    const Case cases[] = {
        {1, 16, 1, 2, "format = 1, bit = 16, ch = 1"},
        {1, 24, 2, 6, "format = 1, bit = 24, ch = 2"},
        {3, 32, 6, 24, "format = 3, bit = 32, ch = 6"},
        {2, 16, 2, 4, "format = 2, bit = 16, ch = 2"},
        // The frame size must be the format's: a smaller one would overrun the block.
        {1, 16, 2, 2, "format = 1, bit = 16, ch = 2"},
        {3, 32, 2, 16, "format = 3, bit = 32, ch = 2"},
    };
    const AudioBuffer buffer = planar(std::vector<float>(100, 0.5f), std::vector<float>(100, 0.5f));
    for (const Case& c : cases) {
        LogCapture log;
        RawAudioBuffer out;
        out.formatTag = c.tag;
        out.bitsPerSample = c.bits;
        out.channels = c.channels;
        out.blockAlign = c.blockAlign;
        try {
            buffer.convertTo(out);
            ADD_FAILURE() << c.note;
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string("audio format not supported.\n\n[Note]\n") + c.note +
                          "\n\n[Place]\nMedia::AudioBuffer::convertTo()",
                      e.what());
        }
        EXPECT_EQ(nullptr, out.data.data());
    }
}

}  // namespace
