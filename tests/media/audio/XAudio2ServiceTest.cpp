#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "media/audio/XAudio2Service.h"
#include "platform/audio/Audio.h"
#include "platform/audio/DiskAudio.h"
#include "support/LogCapture.h"

using Media::XAudio2Service;

namespace {

// Interleaved stereo float frames that are never zero.
std::unique_ptr<System::AlignedBuffer> block(size_t frames, size_t start = 0) {
    auto b = std::make_unique<System::AlignedBuffer>();
    b->allocMemory(static_cast<uint32_t>(frames * 8));
    auto* f = reinterpret_cast<float*>(b->data());
    for (size_t i = 0; i < frames; ++i) {
        f[2 * i] = static_cast<float>(start + i + 1) / 4096.0f;
        f[2 * i + 1] = -f[2 * i];
    }
    return b;
}

std::vector<float> samplesOf(size_t frames, size_t start, float volume) {
    std::vector<float> v;
    for (size_t i = 0; i < frames; ++i) {
        const float x = static_cast<float>(start + i + 1) / 4096.0f * volume;
        v.insert(v.end(), {x, -x});
    }
    return v;
}

uint32_t voiceQueue(const XAudio2Service& service) {
    Platform::audio::VoiceState state;
    service.sourceVoice->getState(state, Platform::audio::kVoiceNoSamplesPlayed);
    return state.buffersQueued;
}

std::vector<std::string> messages(const LogCapture& log) {
    std::vector<std::string> out;
    for (const auto& line : log.lines) out.push_back(line.level + " " + line.scope + " " + line.message);
    return out;
}

TEST(XAudio2Service, StartsWithoutTouchingTheDevice) {
    DiskAudio disk;
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    LogCapture log;
    {
        System::ServiceHolder<XAudio2Service> holder;
        ASSERT_EQ(holder.get(), XAudio2Service::get());
        EXPECT_EQ(nullptr, holder.get()->xaudio2);
        EXPECT_EQ(nullptr, holder.get()->sourceVoice);
    }
    EXPECT_EQ(nullptr, XAudio2Service::get());
    EXPECT_TRUE(log.lines.empty());
}

TEST(XAudio2Service, CreatePlayerKeepsTheVoicesAndChangesOnlyTheRate) {
    DiskAudio disk;
    XAudio2Service service;
    service.createPlayer(48000);
    ASSERT_NE(nullptr, service.sourceVoice);
    ASSERT_NE(nullptr, service.masteringVoice);
    Platform::audio::SourceVoice* voice = service.sourceVoice;
    Platform::audio::MasteringVoice* master = service.masteringVoice;
    service.createPlayer(44100);
    EXPECT_EQ(voice, service.sourceVoice);
    EXPECT_EQ(master, service.masteringVoice);
    EXPECT_EQ(44100, service.sampleRate);
    Platform::audio::VoiceDetails details;
    service.sourceVoice->getVoiceDetails(details);
    EXPECT_EQ(44100u, details.inputSampleRate);
    EXPECT_EQ(2u, details.inputChannels);

    // A rate the voice refuses is a failure, not a voice left at the old rate.
    LogCapture log;
    service.createPlayer(0);
    EXPECT_EQ(nullptr, service.sourceVoice);
    EXPECT_EQ(nullptr, service.masteringVoice);
    EXPECT_NE(nullptr, service.xaudio2);  // the engine stays
    const auto lines = messages(log);
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(std::string::npos,
              lines.front().find("sourceVoice->SetSourceSampleRate() failed in Media::XAudio2Service::createPlayer()"))
        << lines.front();
    EXPECT_EQ("WARN Media::XAudio2Service::createPlayer audio player initialize failed.", lines.back());
    service.createPlayer(48000);
    EXPECT_NE(nullptr, service.sourceVoice);
    EXPECT_EQ(48000, service.sampleRate);
}

TEST(XAudio2Service, ARateNoVoiceTakesLeavesNoVoices) {
    DiskAudio disk;
    XAudio2Service service;
    for (int32_t rate : {0, -44100, 400000}) {
        LogCapture log;
        service.createPlayer(rate);
        const auto lines = messages(log);
        ASSERT_EQ(2u, lines.size()) << rate;
        EXPECT_NE(std::string::npos,
                  lines[0].find("xaudio2->CreateSourceVoice() failed in Media::XAudio2Service::createPlayer()"))
            << lines[0];
        EXPECT_EQ("WARN Media::XAudio2Service::createPlayer audio player initialize failed.", lines[1]);
        EXPECT_EQ(nullptr, service.masteringVoice) << rate;
        EXPECT_EQ(nullptr, service.sourceVoice) << rate;
        EXPECT_NE(nullptr, service.xaudio2) << rate;
    }
    service.createPlayer(22050);
    EXPECT_NE(nullptr, service.sourceVoice);
    EXPECT_EQ(22050, service.sampleRate);
}

TEST(XAudio2Service, VolumeIsAPercentLimitedTo0Through100) {
    DiskAudio disk;
    XAudio2Service service;
    service.createPlayer(48000);
    ASSERT_NE(nullptr, service.sourceVoice);
    struct Case {
        int32_t percent;
        float volume;
    };
    for (const Case c :
         {Case{150, 1.0f}, Case{-5, 0.0f}, Case{50, 0.5f}, Case{0, 0.0f}, Case{100, 1.0f}, Case{33, 0.33f}}) {
        service.setVolume(c.percent);
        float got = -1;
        service.sourceVoice->getVolume(got);
        EXPECT_FLOAT_EQ(c.volume, got) << c.percent;
    }
}

TEST(XAudio2Service, PlayAndStopActAndLogOnlyOnAChange) {
    DiskAudio disk;
    XAudio2Service service;
    service.createPlayer(48000);
    LogCapture log;
    service.stop();
    EXPECT_TRUE(log.lines.empty());
    service.play();
    service.play();
    EXPECT_TRUE(service.isPlaying());
    service.stop();
    service.stop();
    EXPECT_FALSE(service.isPlaying());
    EXPECT_EQ((std::vector<std::string>{"INFO Media::XAudio2Service::play start audio player",
                                        "INFO Media::XAudio2Service::stop stop audio player"}),
              messages(log));
}

TEST(XAudio2Service, PlaysTheSubmittedBlocksAtItsVolume) {
    DiskAudio disk;
    {
        XAudio2Service service;
        service.createPlayer(48000);
        service.setVolume(50);
        service.submitBuffer(block(1000));
        service.submitBuffer(block(2000, 1000));
        service.submitBuffer(block(500, 3000));
        EXPECT_EQ(3u, service.queuedBlockCount());
        EXPECT_EQ(3500 * 8, service.queuedBytes());
        service.play();
        ASSERT_TRUE(DiskAudio::waitFor([&] { return voiceQueue(service) == 0; }));
        service.releasePlayedBuffers();
        EXPECT_EQ(0u, service.queuedBlockCount());
        EXPECT_EQ(0, service.queuedBytes());
        service.stop();
        service.clearBuffer();
    }  // the device closes with the service
    EXPECT_EQ(samplesOf(3500, 0, 0.5f), disk.sound());
}

TEST(XAudio2Service, ReleasesExactlyTheBlocksTheVoiceHasPlayed) {
    DiskAudio disk;
    XAudio2Service service;
    service.createPlayer(48000);
    const size_t sizes[] = {300, 700, 1100, 500};
    size_t start = 0;
    for (size_t frames : sizes) {
        service.submitBuffer(block(frames, start));
        start += frames;
    }
    service.submitBuffer(block(48000 * 30, start));  // long enough to be still playing when looked at
    service.play();
    ASSERT_TRUE(DiskAudio::waitFor([&] { return voiceQueue(service) <= 1; }));
    service.stop();
    EXPECT_EQ(5u, service.queuedBlockCount());
    const uint32_t held = voiceQueue(service);
    ASSERT_EQ(1u, held);
    service.releasePlayedBuffers();
    EXPECT_EQ(1u, service.queuedBlockCount());
    EXPECT_EQ(48000 * 30 * 8, service.queuedBytes());
    EXPECT_EQ(48000u * 30 * 8, service.blocks.front()->size());
    service.clearBuffer();
    EXPECT_EQ(0u, service.queuedBlockCount());
    EXPECT_EQ(0, service.queuedBytes());
    EXPECT_EQ(0u, voiceQueue(service));
}

TEST(XAudio2Service, ABlockTheVoiceRefusesIsNotKept) {
    DiskAudio disk;
    XAudio2Service service;
    service.createPlayer(48000);
    service.submitBuffer(block(10));
    struct Case {
        const char* what;
        size_t frames;
        const char* result;
    };
    LogCapture log;
    for (const Case c : {Case{"empty", 0, "0x80070057"}, Case{"65th", 10, "0x88960001"}}) {
        if (c.frames != 0)
            while (service.queuedBlockCount() < Platform::audio::kMaxQueuedBuffers) service.submitBuffer(block(10));
        const size_t before = service.queuedBlockCount();
        try {
            service.submitBuffer(block(c.frames));
            ADD_FAILURE() << c.what;
        } catch (const std::runtime_error& e) {
            const std::string text = e.what();
            EXPECT_EQ(0u, text.find("sourceVoice->SubmitSourceBuffer() failed.")) << text;
            EXPECT_NE(std::string::npos, text.find(c.result)) << text;
            EXPECT_NE(std::string::npos, text.find("[Place]\nMedia::XAudio2Service::submitBuffer()")) << text;
        }
        EXPECT_EQ(before, service.queuedBlockCount()) << c.what;
        EXPECT_EQ(static_cast<int32_t>(before * 80), service.queuedBytes()) << c.what;
        EXPECT_EQ(before, voiceQueue(service)) << c.what;
    }
}

TEST(XAudio2Service, WithoutADeviceEveryOperationIsHarmless) {
    struct Case {
        const char* what;
        const char* driver;
        bool fileFolderMissing;
        const char* failure;
        bool engineStays;
    };
    const Case cases[] = {
        {"no driver", "no-such-driver", false, "XAudio2Create() failed in Media::XAudio2Service::initialize()", false},
        {"device cannot open", "disk", true,
         "xaudio2->CreateMasteringVoice() failed in Media::XAudio2Service::createPlayer()", true},
    };
    for (const Case& c : cases) {
        DiskAudio disk;
        setenv("SDL_AUDIODRIVER", c.driver, 1);
        if (c.fileFolderMissing) setenv("SDL_DISKAUDIOFILE", (disk.folder() / "missing" / "x.raw").c_str(), 1);
        XAudio2Service service;
        LogCapture log;
        service.createPlayer(48000);
        service.createPlayer(48000);
        const auto lines = messages(log);
        ASSERT_EQ(4u, lines.size()) << c.what;
        for (int i : {0, 2}) {
            EXPECT_EQ(0u, lines[i].find("ERROR Exception ")) << lines[i];
            EXPECT_NE(std::string::npos, lines[i].find(c.failure)) << lines[i];
            EXPECT_EQ("WARN Media::XAudio2Service::createPlayer audio player initialize failed.", lines[i + 1]);
        }
        EXPECT_EQ(c.engineStays, service.xaudio2 != nullptr) << c.what;
        EXPECT_EQ(nullptr, service.masteringVoice);
        EXPECT_EQ(nullptr, service.sourceVoice);

        log.lines.clear();
        service.play();
        EXPECT_FALSE(service.isPlaying());
        service.setVolume(40);
        service.submitBuffer(block(10));
        service.submitBuffer(block(20));  // frees the block before: no voice holds it
        EXPECT_EQ(1u, service.queuedBlockCount());
        EXPECT_EQ(160, service.queuedBytes());
        service.pushBuffer(block(5));
        EXPECT_EQ(2u, service.queuedBlockCount());
        service.releasePlayedBuffers();
        EXPECT_EQ(0u, service.queuedBlockCount());
        EXPECT_EQ(0, service.queuedBytes());
        service.pushBuffer(block(5));
        service.stop();
        service.clearBuffer();
        EXPECT_EQ(0u, service.queuedBlockCount());
        service.release();
        EXPECT_TRUE(log.lines.empty()) << c.what;
    }
}

TEST(XAudio2Service, GoesWhilePlayingWithoutTouchingFreedBlocks) {
    DiskAudio disk;
    LogCapture log;
    {
        XAudio2Service service;
        service.createPlayer(48000);
        service.submitBuffer(block(48000));
        service.submitBuffer(block(48000));
        service.play();
        ASSERT_TRUE(DiskAudio::waitFor([&] { return voiceQueue(service) <= 1; }));
    }
    ASSERT_FALSE(log.lines.empty());
    EXPECT_EQ("INFO Media::XAudio2Service::stop stop audio player", messages(log).back());
}

}  // namespace
