#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DiskAudio.h"
#include "platform/audio/Audio.h"

using namespace Platform::audio;
using Platform::kOk;

namespace {

WaveFormat floatFormat(uint32_t rate, uint16_t channels = 2) {
    WaveFormat f;
    f.formatTag = kFormatIeeeFloat;
    f.channels = channels;
    f.samplesPerSec = rate;
    f.blockAlign = static_cast<uint16_t>(channels * 4);
    f.avgBytesPerSec = rate * f.blockAlign;
    f.bitsPerSample = 32;
    return f;
}

// Stereo frames that are never zero: left (start + i + 1) / 1024, right its negative.
std::vector<float> ramp(size_t frames, size_t start = 0) {
    std::vector<float> v;
    for (size_t i = 0; i < frames; ++i) {
        const float x = static_cast<float>(start + i + 1) / 1024.0f;
        v.insert(v.end(), {x, -x});
    }
    return v;
}

Buffer bufferOf(const std::vector<float>& samples) {
    Buffer b;
    b.audioBytes = static_cast<uint32_t>(samples.size() * sizeof(float));
    b.audioData = reinterpret_cast<const uint8_t*>(samples.data());
    return b;
}

uint32_t queued(const SourceVoice* voice) {
    VoiceState state;
    voice->getState(state, kVoiceNoSamplesPlayed);
    return state.buffersQueued;
}

// An engine with its device on the disk driver.
struct Output {
    DiskAudio disk;
    std::unique_ptr<Engine> engine;
    MasteringVoice* master = nullptr;
    explicit Output(uint32_t channels = 0, uint32_t rate = 0) {
        EXPECT_EQ(kOk, createEngine(engine, 0, 1));
        if (engine) {
            EXPECT_EQ(kOk, engine->createMasteringVoice(&master, channels, rate));
        }
    }
    SourceVoice* voice(uint32_t rate, uint16_t channels = 2) {
        SourceVoice* v = nullptr;
        EXPECT_EQ(kOk, engine->createSourceVoice(&v, floatFormat(rate, channels)));
        return v;
    }
    // Closes the device, so that the file holds everything played.
    std::vector<float> close() {
        master->destroyVoice();
        return disk.sound();
    }
};

TEST(AudioEngine, DefaultDeviceIsStereoFloatAt48000) {
    Output out;
    ASSERT_NE(nullptr, out.master);
    VoiceDetails details;
    out.master->getVoiceDetails(details);
    EXPECT_EQ(2u, details.inputChannels);
    EXPECT_EQ(48000u, details.inputSampleRate);
}

TEST(AudioEngine, PlaysQueuedBuffersInOrderAtTheVoiceVolume) {
    const std::vector<float> parts[] = {ramp(700), ramp(1500, 700), ramp(333, 2200)};
    const std::vector<float> all = ramp(2533);
    for (float volume : {1.0f, 0.5f, 0.25f, 0.0f}) {
        Output out;
        SourceVoice* voice = out.voice(48000);
        ASSERT_NE(nullptr, voice);
        for (const auto& part : parts) ASSERT_EQ(kOk, voice->submitSourceBuffer(bufferOf(part)));
        ASSERT_EQ(kOk, voice->setVolume(volume));
        float got = -1;
        voice->getVolume(got);
        EXPECT_EQ(volume, got);
        EXPECT_EQ(3u, queued(voice));
        ASSERT_EQ(kOk, voice->start());
        ASSERT_TRUE(DiskAudio::waitFor([&] { return queued(voice) == 0; })) << volume;
        VoiceState state;
        voice->getState(state, 0);
        EXPECT_EQ(2533u, state.samplesPlayed);
        std::vector<float> want;
        if (volume != 0.0f)
            for (float x : all) want.push_back(x * volume);
        EXPECT_EQ(want, out.close()) << volume;
    }
}

TEST(AudioEngine, ResamplesLinearlyToTheDeviceRate) {
    struct Case {
        uint32_t rate;
        size_t frames;  // output frames of 999 input frames
    };
    const std::vector<float> input = ramp(999);
    for (const Case c : {Case{48000, 999}, Case{24000, 1998}, Case{96000, 500}, Case{32000, 1499}}) {
        Output out;
        SourceVoice* voice = out.voice(44100);
        ASSERT_NE(nullptr, voice);
        ASSERT_EQ(kOk, voice->setSourceSampleRate(c.rate));
        VoiceDetails details;
        voice->getVoiceDetails(details);
        EXPECT_EQ(c.rate, details.inputSampleRate);
        ASSERT_EQ(kOk, voice->submitSourceBuffer(bufferOf(input)));
        ASSERT_EQ(kOk, voice->start());
        ASSERT_TRUE(DiskAudio::waitFor([&] { return queued(voice) == 0; })) << c.rate;
        const std::vector<float> got = out.close();
        ASSERT_EQ(2 * c.frames, got.size()) << c.rate;
        const double step = c.rate / 48000.0;
        for (size_t j = 0; j < c.frames; ++j) {
            const double p = j * step;
            const size_t i = static_cast<size_t>(p);
            const double f = p - i;
            const double next = i + 1 < 999 ? (i + 2) / 1024.0 : (i + 1) / 1024.0;
            const double want = (i + 1) / 1024.0 + (next - (i + 1) / 1024.0) * f;
            ASSERT_NEAR(want, got[2 * j], 1e-5) << c.rate << " frame " << j;
            ASSERT_NEAR(-want, got[2 * j + 1], 1e-5) << c.rate << " frame " << j;
        }
    }
}

TEST(AudioEngine, MonoVoicesAndMonoDevicesShareTheChannels) {
    {
        Output out(1, 48000);
        SourceVoice* voice = out.voice(48000);
        const std::vector<float> frames{0.5f, 0.25f, -1.0f, 0.5f};
        ASSERT_EQ(kOk, voice->submitSourceBuffer(bufferOf(frames)));
        ASSERT_EQ(kOk, voice->start());
        ASSERT_TRUE(DiskAudio::waitFor([&] { return queued(voice) == 0; }));
        EXPECT_EQ((std::vector<float>{0.375f, -0.25f}), out.close());
    }
    {
        Output out;
        SourceVoice* voice = out.voice(48000, 1);
        const std::vector<float> samples{0.5f, -0.75f};
        ASSERT_EQ(kOk, voice->submitSourceBuffer(bufferOf(samples)));
        ASSERT_EQ(kOk, voice->start());
        ASSERT_TRUE(DiskAudio::waitFor([&] { return queued(voice) == 0; }));
        EXPECT_EQ((std::vector<float>{0.5f, 0.5f, -0.75f, -0.75f}), out.close());
    }
}

TEST(AudioEngine, StoppedVoiceKeepsItsBuffersAndFlushEmptiesTheQueue) {
    Output out;
    SourceVoice* held = out.voice(48000);
    SourceVoice* playing = out.voice(48000);
    const std::vector<float> heldSound = ramp(500), playedSound = ramp(800, 5000);
    ASSERT_EQ(kOk, held->submitSourceBuffer(bufferOf(heldSound)));
    ASSERT_EQ(kOk, held->start());
    ASSERT_EQ(kOk, held->stop());
    ASSERT_EQ(kOk, playing->submitSourceBuffer(bufferOf(playedSound)));
    ASSERT_EQ(kOk, playing->start());
    // Both voices are mixed in the same passes of the device.
    ASSERT_TRUE(DiskAudio::waitFor([&] { return queued(playing) == 0; }));
    VoiceState state;
    held->getState(state, 0);
    EXPECT_EQ(1u, state.buffersQueued);
    EXPECT_EQ(0u, state.samplesPlayed);

    // A flush takes every buffer, also from a started voice.
    ASSERT_EQ(kOk, held->start());
    ASSERT_EQ(kOk, held->flushSourceBuffers());
    EXPECT_EQ(0u, queued(held));
    held->destroyVoice();
    const std::vector<float> got = out.close();
    // The held voice may have begun before the flush: its sound, if any, follows.
    ASSERT_GE(got.size(), playedSound.size());
    EXPECT_EQ(playedSound, std::vector<float>(got.begin(), got.begin() + static_cast<long>(playedSound.size())));
}

TEST(AudioEngine, RefusesWhatAVoiceCannotTake) {
    Output out;
    SourceVoice* voice = out.voice(48000);
    ASSERT_NE(nullptr, voice);
    const std::vector<float> frame(2, 0.5f), odd(3, 0.5f);
    struct Case {
        const char* what;
        std::function<Platform::Result()> call;
        Platform::Result want;
    };
    SourceVoice* made = nullptr;
    MasteringVoice* second = nullptr;
    auto withFormat = [&](auto change) {
        WaveFormat f = floatFormat(48000);
        change(f);
        return out.engine->createSourceVoice(&made, f);
    };
    const Case cases[] = {
        {"PCM voice",
         [&] {
             return withFormat([](WaveFormat& f) {
                 f.formatTag = 1;
                 f.bitsPerSample = 16;
                 f.blockAlign = 4;
             });
         },
         Platform::kInvalidArg},
        {"rate below", [&] { return withFormat([](WaveFormat& f) { f.samplesPerSec = 999; }); }, Platform::kInvalidArg},
        {"rate above", [&] { return withFormat([](WaveFormat& f) { f.samplesPerSec = 200001; }); },
         Platform::kInvalidArg},
        {"frame size", [&] { return withFormat([](WaveFormat& f) { f.blockAlign = 4; }); }, Platform::kInvalidArg},
        {"six channels",
         [&] {
             return withFormat([](WaveFormat& f) {
                 f.channels = 6;
                 f.blockAlign = 24;
             });
         },
         Platform::kInvalidArg},
        {"second device", [&] { return out.engine->createMasteringVoice(&second); }, kInvalidCall},
        {"device rate", [&] { return out.engine->createMasteringVoice(&second, 2, 500); }, Platform::kInvalidArg},
        {"empty buffer",
         [&] {
             return voice->submitSourceBuffer(Buffer{0, reinterpret_cast<const uint8_t*>(frame.data())});
         },
         Platform::kInvalidArg},
        {"no data",
         [&] {
             return voice->submitSourceBuffer(Buffer{8, nullptr});
         },
         Platform::kInvalidArg},
        {"part of a frame", [&] { return voice->submitSourceBuffer(bufferOf(odd)); }, Platform::kInvalidArg},
        {"volume NaN", [&] { return voice->setVolume(NAN); }, Platform::kInvalidArg},
        {"rate 0", [&] { return voice->setSourceSampleRate(0); }, Platform::kInvalidArg},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.want, c.call()) << c.what;
        EXPECT_EQ(nullptr, made) << c.what;
        EXPECT_EQ(nullptr, second) << c.what;
    }
    EXPECT_EQ(0u, queued(voice));
    // At most 64 buffers wait on a voice.
    for (uint32_t i = 0; i < kMaxQueuedBuffers; ++i) ASSERT_EQ(kOk, voice->submitSourceBuffer(bufferOf(frame)));
    EXPECT_EQ(kInvalidCall, voice->submitSourceBuffer(bufferOf(frame)));
    EXPECT_EQ(kMaxQueuedBuffers, queued(voice));
    // No source voice without a device.
    out.master->destroyVoice();
    EXPECT_EQ(kInvalidCall, out.engine->createSourceVoice(&made, floatFormat(48000)));
    EXPECT_EQ(nullptr, made);
}

TEST(AudioEngine, MissingDriverOrDeviceFails) {
    const Platform::Result noDevice = Platform::resultFromSystemError(ENODEV);
    {
        DiskAudio disk;
        setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
        std::unique_ptr<Engine> engine;
        EXPECT_EQ(noDevice, createEngine(engine, 0, 1));
        EXPECT_EQ(nullptr, engine);
    }
    {
        DiskAudio disk;
        setenv("SDL_DISKAUDIOFILE", (disk.folder() / "missing" / "played.raw").c_str(), 1);
        std::unique_ptr<Engine> engine;
        ASSERT_EQ(kOk, createEngine(engine, 0, 1));
        MasteringVoice* master = nullptr;
        EXPECT_EQ(noDevice, engine->createMasteringVoice(&master));
        EXPECT_EQ(nullptr, master);
        // The engine still works once a device can be opened.
        setenv("SDL_DISKAUDIOFILE", (disk.folder() / "played.raw").c_str(), 1);
        EXPECT_EQ(kOk, engine->createMasteringVoice(&master));
        EXPECT_NE(nullptr, master);
    }
    const Library* library = loadLibrary();
    ASSERT_NE(nullptr, library);
    EXPECT_NE(nullptr, library->createWithVersionInfo);
    EXPECT_NE(nullptr, library->create);
}

}  // namespace
