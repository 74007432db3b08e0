#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cmath>
#include <cstring>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <vector>

#include "core/EventService.h"
#include "core/Exception.h"
#include "core/ServiceHolder.h"
#include "edit/EffectCatalog.h"
#include "edit/Object.h"
#include "edit/ReadSection.h"
#include "edit/Scene.h"
#include "edit/UpdateSection.h"
#include "effect/AudioRenderContext.h"
#include "effect/EffectBase.h"
#include "effects/AudioOutput.h"
#include "media/audio/AudioBuffer.h"
#include "media/audio/XAudio2Service.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/FrameImage.h"
#include "media/gpu/ResourceService.h"
#include "platform/audio/Audio.h"
#include "platform/audio/DiskAudio.h"
#include "render/MoviePlayer.h"
#include "render/RenderAudioWorker.h"
#include "render/RenderTestEffects.h"
#include "render/RenderVideoWorker.h"
#include "support/SuiteGpu.h"

namespace {

using Effect::EffectBase;
using Render::MoviePlayer;

constexpr const wchar_t* kSine = L"正弦波テスト";

// A 440 Hz tone on the left and a third of it on the right, by scene sample,
// never exactly zero. Notes every frame it was asked for.
class SineSource : public EffectBase {
public:
    SineSource() {
        name = kSine;
        role = kInput;
        media = kAudio;
        placement = kAudio;
    }
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<SineSource>(); }
    std::shared_ptr<Media::AudioBuffer> inputAudio(Render::AudioRenderContext& context) override {
        {
            const std::lock_guard guard(mutex_);
            frames_.push_back(context.frame);
        }
        if (onInput) onInput();
        auto out = std::make_shared<Media::AudioBuffer>();
        out->resize(context.range.count, 2);
        for (int32_t i = 0; i < out->samples; ++i) {
            const double n = static_cast<double>(context.range.offset + i) + 0.5;
            const float v = static_cast<float>(0.25 * std::sin(2 * M_PI * 440 * n / context.range.rate));
            out->getChannel(0)[i] = v;
            out->getChannel(1)[i] = v / 3;
        }
        return out;
    }
    // Runs on the per-object thread for every frame.
    std::function<void()> onInput;
    // The frames asked for since the last call.
    std::vector<int32_t> takeFrames() {
        const std::lock_guard guard(mutex_);
        return std::exchange(frames_, {});
    }

private:
    std::mutex mutex_;
    std::vector<int32_t> frames_;
};

class PlayerEffects : public Edit::EffectCatalog {
public:
    PlayerEffects() : previous_(current()) {
        effects_.emplace(kSine, std::make_unique<SineSource>());
        effects_.emplace(Effect::AudioOutput::kName, std::make_unique<Effect::AudioOutput>());
        effects_.emplace(RenderTest::kSolid, std::make_unique<RenderTest::SolidTestSource>());
        effects_.emplace(RenderTest::kCopy, std::make_unique<RenderTest::CopyTestOutput>());
        setCurrent(this);
    }
    ~PlayerEffects() override { setCurrent(previous_); }
    const EffectBase& findEffect(const std::wstring& name) const override {
        const auto found = effects_.find(name);
        if (found == effects_.end()) throw System::messageException("PlayerEffects::findEffect", "not found effect.");
        return *found->second;
    }
    const EffectBase& getOutputEffect(const EffectBase& input) const override {
        return findEffect(input.media == EffectBase::kAudio ? Effect::AudioOutput::kName : RenderTest::kCopy);
    }
    const EffectBase* getPairedInputEffect(const EffectBase&) const override { return nullptr; }

private:
    std::map<std::wstring, std::unique_ptr<EffectBase>> effects_;
    EffectCatalog* previous_;
};

// Holds the first call of a hook until opened.
class Gate {
public:
    void pass() {
        if (passed_.exchange(true)) return;
        entered_.set_value();
        open_.get_future().wait();
    }
    void waitEntered() { entered_.get_future().wait(); }
    void open() { open_.set_value(); }

private:
    std::atomic<bool> passed_{false};
    std::promise<void> entered_, open_;
};

// What the player sent out: presented frames with the size of their image,
// play states and cursors.
struct Watch {
    std::vector<int32_t> presented;
    std::vector<uint32_t> widths, heights;
    std::vector<uint8_t> firstPixel;  // RGBA of the first presented image's top-left pixel
    std::vector<bool> states;
    std::vector<int32_t> cursors;
};

class MoviePlayerTest : public testing::Test {
protected:
    static constexpr int64_t kFrequency = 3000000;  // a frame at 30/1 is 100000 ticks

    static void SetUpTestSuite() { SuiteGpu::start(SuiteGpu::kWithShaders); }
    static void TearDownTestSuite() { SuiteGpu::stop(); }

    void SetUp() override {
        scene->videoWidth = 8;
        scene->videoHeight = 6;
        events.renderResultListeners.add([this](int type, int frame) {
            ASSERT_EQ(Render::kRenderPlayback, type);
            watch.presented.push_back(frame);
            Media::FrameImage* image = player ? player->presentedImage() : nullptr;
            ASSERT_NE(nullptr, image);
            Platform::os::MutexLock lock(image->mutex);
            watch.widths.push_back(image->image.width);
            watch.heights.push_back(image->image.height);
            if (watch.firstPixel.empty()) watch.firstPixel.assign(image->image.data(), image->image.data() + 4);
        });
        events.playStateListeners.add([this](bool on) { watch.states.push_back(on); });
        events.cursorFrameListeners.add([this](int frame) { watch.cursors.push_back(frame); });
    }
    void TearDown() override { player.reset(); }

    // The audio output, on SDL's disk driver.
    Media::XAudio2Service& makeOutput() {
        disk = std::make_unique<DiskAudio>();
        outputHolder = std::make_unique<Media::XAudio2Service>();
        return *outputHolder;
    }

    // A tone over the frames, and a red picture on the layer above when asked.
    SineSource& tone(int32_t last) {
        auto object = scene->createObject(kSine, 0, 0, last);
        scene->update();
        return static_cast<SineSource&>(*object->effects.front());
    }
    RenderTest::SolidTestSource& picture(int32_t last) {
        auto object = scene->createObject(RenderTest::kSolid, 1, 0, last);
        scene->update();
        return static_cast<RenderTest::SolidTestSource&>(*object->effects.front());
    }

    MoviePlayer& makePlayer(int32_t bufferTime, Media::XAudio2Service* output = nullptr, int32_t returnCursor = 1) {
        MoviePlayer::Connections c;
        c.currentScene = [this] { return scene; };
        c.video = &video;
        c.audio = &audio;
        c.events = &events;
        c.output = output;
        c.loop.registerWaitHandle = [this](const Platform::os::WaitHandle& handle, std::function<void()> callback) {
            registered = handle;
            timerCallback = std::move(callback);
        };
        c.loop.unregisterWaitHandle = [this](const Platform::os::WaitHandle& handle) {
            EXPECT_EQ(registered, handle);
            timerCallback = nullptr;
        };
        c.clock.counter = [this] { return counter.load(); };
        c.clock.frequency = kFrequency;
        c.clock.pause = [this] { counter += 1; };
        player = std::make_unique<MoviePlayer>(std::move(c));
        player->bufferTime = bufferTime;
        player->returnCursorPosition = returnCursor;
        return *player;
    }

    // One timer expiry, then the renders it asked for.
    void tick() {
        ASSERT_TRUE(timerCallback);
        timerCallback();
        settle();
    }
    void settle() {
        video.waitAll();
        audio.waitAll();
    }
    static double frameTime(int32_t frame) { return frame / 30.0; }

    // The worker's own mix of the frames, interleaved left, right.
    std::vector<float> rendered(int32_t first, int32_t last) {
        std::vector<float> out;
        for (int32_t f = first; f <= last; ++f) {
            audio.requestRenderingAudio(Render::kRenderExport, f, [&out](int32_t, Media::AudioBuffer& mix) {
                for (int32_t i = 0; i < mix.samples; ++i) {
                    out.push_back(mix.getChannel(0)[i]);
                    out.push_back(mix.getChannel(1)[i]);
                }
            });
            audio.waitAll();
        }
        return out;
    }

    static uint32_t voiceQueue(const Media::XAudio2Service& service) {
        Platform::audio::VoiceState state;
        service.sourceVoice->getState(state, Platform::audio::kVoiceNoSamplesPlayed);
        return state.buffersQueued;
    }

    PlayerEffects effects;
    std::shared_ptr<Edit::Scene> scene = std::make_shared<Edit::Scene>(0, 0);
    std::shared_mutex lock;
    Render::RenderVideoWorker video{[this] { return std::make_unique<Edit::ReadSection>(lock, scene, nullptr); },
                                    Render::RenderVideoWorker::Settings{1000, {}}};
    Render::RenderAudioWorker audio{[this] { return std::make_unique<Edit::ReadSection>(lock, scene, nullptr); }};
    Event::EventService events;
    std::atomic<int64_t> counter{1000000000};
    Platform::os::WaitHandle registered;
    std::function<void()> timerCallback;
    Watch watch;
    std::unique_ptr<DiskAudio> disk;
    std::unique_ptr<Media::XAudio2Service> outputHolder;
    std::unique_ptr<MoviePlayer> player;  // goes first
};

TEST_F(MoviePlayerTest, KeepsItsBufferTimeOfFramesAheadAndEndsThePreRollOnceTheyAreReady) {
    struct Case {
        int32_t bufferTime, rate, scale, ahead;
    };
    const Case cases[] = {
        {0, 30, 1, 2},  {500, 30, 1, 15},       {-100, 30, 1, 2}, {1000, 60, 1, 60},
        {50, 30, 1, 2}, {500, 30000, 1001, 15}, {100, 24, 1, 2},  {2000, 30, 1, 60},
    };
    tone(299);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.bufferTime) + " ms at " + std::to_string(c.rate) + "/" + std::to_string(c.scale));
        scene->videoRate = c.rate;
        scene->videoScale = c.scale;
        scene->cursorFrame = 30;
        MoviePlayer& p = makePlayer(c.bufferTime);
        p.play();
        ASSERT_TRUE(p.isPlaying());
        const double start = 30.0 * c.scale / c.rate;
        EXPECT_EQ(c.ahead, p.framesAhead());
        EXPECT_DOUBLE_EQ(start, p.startTime());
        // The clock waits the buffer time before the first frame; none: it starts on it.
        EXPECT_NEAR(start - std::max(c.bufferTime, 0) / 1000.0, p.clock(), 1e-6);
        tick();
        // Without a buffer time the first frame may already be shown.
        EXPECT_EQ(static_cast<size_t>(c.ahead), p.queuedFrames() + watch.presented.size());
        EXPECT_EQ(30 + c.ahead, p.nextFrame());
        tick();  // everything is ready: the pre-roll is over
        EXPECT_NEAR(start, p.clock(), 1e-6);
        EXPECT_EQ(std::vector<int32_t>{30}, watch.presented);
        player.reset();
        watch = {};
    }
}

TEST_F(MoviePlayerTest, StopReturnsTheCursorOrLeavesItOnTheLastPresentedFrame) {
    struct Case {
        int32_t returnCursor, cursor, presentUntil, want;
    };
    const Case cases[] = {
        {1, 10, 40, 10},
        {0, 10, 40, 40},
        {1, 150, 0, 99},  // beyond the last frame: nothing plays, the cursor comes back clamped
    };
    RenderTest::SolidTestSource& red = picture(99);
    red.color[1] = red.color[2] = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.returnCursor) + " from " + std::to_string(c.cursor));
        scene->cursorFrame = c.cursor;
        MoviePlayer& p = makePlayer(0, nullptr, c.returnCursor);
        p.play();
        EXPECT_NE(Platform::os::WaitHandle{}, registered);
        for (int32_t f = c.cursor; f <= c.presentUntil; ++f) {
            p.setClock(frameTime(f));
            tick();
        }
        if (c.presentUntil >= c.cursor) tick();  // what came in after the last look
        ASSERT_TRUE(p.isPlaying());
        p.stop();
        EXPECT_FALSE(p.isPlaying());
        EXPECT_FALSE(scene->playing);
        EXPECT_FALSE(timerCallback);  // off the main loop
        EXPECT_EQ(c.want, scene->cursorFrame);
        EXPECT_EQ((std::vector<bool>{true, false}), watch.states);
        EXPECT_EQ(std::vector<int32_t>{c.want}, watch.cursors);
        std::vector<int32_t> frames;
        for (int32_t f = c.cursor; f <= c.presentUntil; ++f) frames.push_back(f);
        EXPECT_EQ(frames, watch.presented);
        for (size_t i = 0; i < watch.widths.size(); ++i) {
            EXPECT_EQ(8u, watch.widths[i]);
            EXPECT_EQ(6u, watch.heights[i]);
        }
        if (!frames.empty()) EXPECT_EQ((std::vector<uint8_t>{255, 0, 0, 255}), watch.firstPixel);
        EXPECT_EQ(0u, p.queuedFrames());
        EXPECT_EQ(0u, video.pendingTaskCount());
        p.stop();  // stopped: nothing more happens
        EXPECT_EQ(1u, watch.cursors.size());
        player.reset();
        watch = {};
    }
}

TEST_F(MoviePlayerTest, ThePlaybackOfTheLastFrameEndsJustAfterItsTime) {
    picture(99);
    scene->cursorFrame = 99;
    MoviePlayer& p = makePlayer(0, nullptr, 0);
    p.play();
    tick();
    EXPECT_EQ(100, p.nextFrame());  // one frame asked for
    EXPECT_EQ(1u, p.queuedFrames() + watch.presented.size());
    p.setClock(frameTime(99) + 0.04);
    tick();
    EXPECT_TRUE(p.isPlaying());
    EXPECT_EQ(std::vector<int32_t>{99}, watch.presented);
    EXPECT_EQ(100, p.nextFrame());
    p.setClock(frameTime(99) + 0.06);
    tick();
    EXPECT_FALSE(p.isPlaying());
    EXPECT_EQ(99, scene->cursorFrame);
}

TEST_F(MoviePlayerTest, EditsSceneChangesAndObjectChangesStopPlayback) {
    const auto previous = Edit::UpdateSection::setPlaybackStop(nullptr);
    picture(99);
    enum class Way { EditScope, SceneChanged, ObjectChanged };
    for (const Way way : {Way::EditScope, Way::SceneChanged, Way::ObjectChanged}) {
        SCOPED_TRACE(static_cast<int>(way));
        scene->cursorFrame = 5;
        MoviePlayer& p = makePlayer(500);
        bool notExclusiveYet = false;
        Edit::UpdateSection::setPlaybackStop([&] {
            // Playback waits for renders that hold the lock shared: the scope asks for it only afterwards.
            notExclusiveYet = lock.try_lock_shared();
            if (notExclusiveYet) lock.unlock_shared();
            p.stop();
        });
        p.play();
        timerCallback();  // renders are queued and running
        switch (way) {
        case Way::EditScope: {
            Edit::UpdateSection scope(lock, scene, nullptr);
            EXPECT_FALSE(p.isPlaying());
            EXPECT_TRUE(notExclusiveYet);
            break;
        }
        case Way::SceneChanged: events.sceneListeners.call(0); break;
        case Way::ObjectChanged: events.objectChangedListeners.call(nullptr); break;
        }
        EXPECT_FALSE(p.isPlaying());
        EXPECT_EQ(0u, p.queuedFrames());
        EXPECT_EQ(5, scene->cursorFrame);
        Edit::UpdateSection::setPlaybackStop(nullptr);
        player.reset();
        watch = {};
    }
    // A player that is gone ignores the events it listened to.
    events.sceneListeners.call(0);
    Edit::UpdateSection::setPlaybackStop(previous);
}

TEST_F(MoviePlayerTest, ASlowRenderSkipsLateFramesWhileTheSoundGoesOnFrameAfterFrame) {
    Media::XAudio2Service& output = makeOutput();
    SineSource& sine = tone(299);
    RenderTest::SolidTestSource& solid = picture(299);
    Gate gate;
    std::atomic<int> renders{0};
    solid.onInput = [&] {
        ++renders;
        gate.pass();
    };
    MoviePlayer& p = makePlayer(2000, &output);
    p.play();
    timerCallback();
    gate.waitEntered();  // frame 0 is held, 59 more are waiting
    audio.waitAll();
    timerCallback();
    audio.waitAll();
    timerCallback();
    audio.waitAll();
    // Three seconds pass while frame 0 renders.
    p.setClock(3.0);
    timerCallback();
    EXPECT_EQ(90 + 59, p.nextFrame());  // frame 0 is still one of the 60
    gate.open();
    settle();
    tick();
    EXPECT_EQ((std::vector<int32_t>{0, 90}), watch.presented);
    EXPECT_EQ(1 + 59, renders.load());  // frames 1 to 59 were dropped unrendered
    EXPECT_TRUE(output.isPlaying());
    std::vector<int32_t> sound = sine.takeFrames();
    ASSERT_LE(120u, sound.size());
    for (size_t i = 0; i < sound.size(); ++i) ASSERT_EQ(static_cast<int32_t>(i), sound[i]);
    EXPECT_EQ(static_cast<int32_t>(sound.size()), p.nextAudioFrame());
}

TEST_F(MoviePlayerTest, TheOutputStartsWithItsFirstBlockNotBeforeIt) {
    Media::XAudio2Service& output = makeOutput();
    SineSource& sine = tone(299);
    Gate gate;
    sine.onInput = [&] { gate.pass(); };
    MoviePlayer& p = makePlayer(0, &output);
    p.volume = 40;
    p.play();
    float volume = 0;
    output.sourceVoice->getVolume(volume);
    EXPECT_FLOAT_EQ(0.4f, volume);
    timerCallback();  // the clock is at the start, the sound not rendered yet
    gate.waitEntered();
    EXPECT_FALSE(output.isPlaying());
    gate.open();
    settle();
    tick();
    EXPECT_TRUE(output.isPlaying());
    EXPECT_EQ(0.0, p.startTime());  // not taken for an output run dry
    EXPECT_EQ((std::vector<int32_t>{0, 1}), sine.takeFrames());
    player.reset();
}

TEST_F(MoviePlayerTest, AnUnderrunStartsTheSoundAgainAFifthOfASecondAheadInStepWithThePicture) {
    Media::XAudio2Service& output = makeOutput();
    SineSource& sine = tone(299);
    MoviePlayer& p = makePlayer(500, &output);
    p.play();
    tick();
    tick();
    ASSERT_TRUE(output.isPlaying());
    ASSERT_NE(nullptr, output.sourceVoice);
    sine.takeFrames();
    // The output plays everything it holds before more comes.
    output.clearBuffer();
    p.setClock(1.0);
    tick();
    EXPECT_FALSE(output.isPlaying());
    EXPECT_NEAR(1.2, p.startTime(), 1e-6);
    std::vector<int32_t> restart;
    for (int32_t f = 36; f < 36 + 15; ++f) restart.push_back(f);
    EXPECT_EQ(restart, sine.takeFrames());
    // The picture keeps its time meanwhile, also once everything is ready.
    for (int i = 0; i < 10; ++i) tick();
    EXPECT_EQ(15u, p.queuedFrames());
    EXPECT_NEAR(1.0, p.clock(), 1e-6);
    EXPECT_FALSE(output.isPlaying());
    EXPECT_EQ(30, watch.presented.back());
    p.setClock(1.2);
    tick();
    EXPECT_TRUE(output.isPlaying());
    const std::vector<float> want = rendered(36, 36);
    ASSERT_FALSE(output.blocks.empty());
    ASSERT_EQ(want.size() * sizeof(float), output.blocks.front()->size());
    EXPECT_EQ(0, std::memcmp(want.data(), output.blocks.front()->data(), output.blocks.front()->size()));
    player.reset();
}

TEST_F(MoviePlayerTest, TwoSecondsOfAToneReachTheOutputSampleForSampleInOrder) {
    Media::XAudio2Service& output = makeOutput();
    tone(59);
    picture(59);
    const std::vector<float> want = rendered(0, 59);
    {
        MoviePlayer& p = makePlayer(500, &output);
        p.play();
        EXPECT_NEAR(-0.5, p.clock(), 1e-6);
        tick();
        tick();  // ready: the pre-roll ends and the sound starts
        EXPECT_TRUE(output.isPlaying());
        // Frame by frame until all the sound is with the output; it holds two seconds.
        int32_t f = 1;
        for (; f <= 59 && (p.nextAudioFrame() <= 59 || p.queuedAudio() > 0); ++f) {
            p.setClock(frameTime(f));
            tick();
        }
        EXPECT_EQ(60, p.nextAudioFrame());
        EXPECT_EQ(0u, p.queuedAudio());
        ASSERT_TRUE(DiskAudio::waitFor([&] { return voiceQueue(output) == 0; }));
        p.setClock(frameTime(59) + 0.06);
        tick();
        EXPECT_FALSE(p.isPlaying());
        ASSERT_LE(static_cast<size_t>(f), watch.presented.size());
        for (size_t i = 0; i < watch.presented.size(); ++i) EXPECT_EQ(static_cast<int32_t>(i), watch.presented[i]);
        player.reset();
        outputHolder.reset();  // the device closes with the output
    }
    const std::vector<float> played = disk->sound();
    ASSERT_EQ(want.size(), played.size());
    EXPECT_EQ(0, std::memcmp(want.data(), played.data(), want.size() * sizeof(float)));
}

}  // namespace

namespace {

TEST_F(MoviePlayerTest, WithoutASoundDeviceThePicturePlaysSilently) {
    // A driver that does not exist: the output cannot open a device.
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    outputHolder = std::make_unique<Media::XAudio2Service>();
    picture(299);
    MoviePlayer& p = makePlayer(0, outputHolder.get());
    EXPECT_NO_THROW(p.play());
    EXPECT_EQ(nullptr, outputHolder->sourceVoice) << "no device was opened";
    EXPECT_TRUE(p.isPlaying());
    EXPECT_TRUE(scene->playing);
    counter += kFrequency / 10;
    tick();
    tick();
    EXPECT_FALSE(outputHolder->isPlaying());
    p.stop();
    EXPECT_FALSE(scene->playing);
    player.reset();
    unsetenv("SDL_AUDIODRIVER");
}

}  // namespace
