#include <gtest/gtest.h>

#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <vector>

#include "core/Exception.h"
#include "edit/EffectCatalog.h"
#include "edit/Object.h"
#include "edit/ReadSection.h"
#include "edit/Scene.h"
#include "effect/AudioRenderContext.h"
#include "effect/EffectBase.h"
#include "effect/EffectItemInteger.h"
#include "effects/AudioOutput.h"
#include "media/audio/AudioBlockBuffer.h"
#include "render/RenderAudioWorker.h"
#include "render/RenderFixture.h"

namespace {

using Effect::EffectBase;

constexpr const wchar_t* kLevel = L"音源テスト";
constexpr const wchar_t* kPicture = L"映像テスト";
constexpr const wchar_t* kPictureOut = L"映像出力テスト";
constexpr const wchar_t* kScale = L"倍率テスト";
constexpr const wchar_t* kAudioGroup = L"グループ制御(音声)";

std::string at(const Render::AudioRenderContext& context) {
    return " @L" + std::to_string(context.object ? context.object->layer : -1);
}

// Source: every sample of the frame holds (left, right), or the frame number
// on both sides.
class LevelSource : public EffectBase {
public:
    LevelSource() {
        name = kLevel;
        role = kInput;
        media = kAudio;
        placement = kAudio;
    }
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<LevelSource>(); }
    void preInputAudio(Render::AudioRenderContext& context) override {
        RenderTest::journal().add("prepare" + at(context));
        if (onPrepare)
            onPrepare(context);
    }
    std::shared_ptr<Media::AudioBuffer> inputAudio(Render::AudioRenderContext& context) override {
        RenderTest::journal().add("in" + at(context));
        offsets[context.frame] = context.range.offset;
        if (none)
            return nullptr;
        auto out = std::make_shared<Media::AudioBuffer>();
        out->resize(context.range.count, 2);
        for (int32_t i = 0; i < out->samples; ++i) {
            out->getChannel(0)[i] = byFrame ? static_cast<float>(context.frame) : left;
            out->getChannel(1)[i] = byFrame ? static_cast<float>(context.frame) : right;
        }
        return out;
    }

    float left = 0.5f, right = 0.5f;
    bool byFrame = false;
    bool none = false;
    std::map<int32_t, int64_t> offsets;  // sample offset seen at each frame
    std::function<void(Render::AudioRenderContext&)> onPrepare;
};

// A video-only source and its output: invisible to the audio lookup.
class PictureEffect : public EffectBase {
public:
    PictureEffect(const wchar_t* effectName, uint8_t effectRole) {
        name = effectName;
        role = effectRole;
        media = kVideo;
        placement = kVideo;
    }
    std::shared_ptr<EffectBase> createInstance() const override {
        return std::make_shared<PictureEffect>(name, role);
    }
};

// Audio filter multiplying the samples; as a control, the audio group control.
class ScaleEffect : public EffectBase {
public:
    ScaleEffect(const wchar_t* effectName, uint8_t effectRole) {
        name = effectName;
        role = effectRole;
        media = kAudio;
        placement = kAudio;
    }
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<ScaleEffect>(name, role); }
    Effect::EffectItemInteger* getLayerRange() override { return role == kControl ? &range : nullptr; }
    std::shared_ptr<Media::AudioBuffer> filterAudio(Render::AudioRenderContext& context,
                                                    std::shared_ptr<Media::AudioBuffer> audio) override {
        RenderTest::journal().add("filter" + at(context));
        for (int32_t c = 0; c < 2; ++c)
            for (int32_t i = 0; i < audio->samples; ++i)
                audio->getChannel(c)[i] *= factor;
        return audio;
    }
    void controlAudio(Render::AudioRenderContext& context) override {
        RenderTest::journal().add("control" + at(context));
    }

    float factor = 2;
    Effect::EffectItemInteger range{&items, L"対象レイヤー数", 0, 0, 1000, Effect::EffectItem::kLayerRange};
};

class AudioTestEffects : public Edit::EffectCatalog {
public:
    AudioTestEffects() : previous_(current()) {
        effects_.emplace(kLevel, std::make_unique<LevelSource>());
        effects_.emplace(Effect::AudioOutput::kName, std::make_unique<Effect::AudioOutput>());
        effects_.emplace(kPicture, std::make_unique<PictureEffect>(kPicture, EffectBase::kInput));
        effects_.emplace(kPictureOut, std::make_unique<PictureEffect>(kPictureOut, EffectBase::kOutput));
        effects_.emplace(kScale, std::make_unique<ScaleEffect>(kScale, EffectBase::kFilter));
        effects_.emplace(kAudioGroup, std::make_unique<ScaleEffect>(kAudioGroup, EffectBase::kControl));
        setCurrent(this);
    }
    ~AudioTestEffects() override { setCurrent(previous_); }
    const EffectBase& findEffect(const std::wstring& name) const override {
        const auto found = effects_.find(name);
        if (found == effects_.end())
            throw System::messageException("AudioTestEffects::findEffect", "not found effect.");
        return *found->second;
    }
    const EffectBase& getOutputEffect(const EffectBase& input) const override {
        return findEffect(input.media == EffectBase::kAudio ? Effect::AudioOutput::kName : kPictureOut);
    }
    const EffectBase* getPairedInputEffect(const EffectBase&) const override { return nullptr; }

private:
    std::map<std::wstring, std::unique_ptr<EffectBase>> effects_;
    EffectCatalog* previous_;
};

struct Mix {
    int32_t frame = -1;
    int32_t channels = 0;
    std::vector<float> left, right;
};

class AudioWorkerTest : public testing::Test {
protected:
    void SetUp() override { RenderTest::journal().take(); }

    std::shared_ptr<Edit::Object> add(const wchar_t* effect, int32_t layer, int32_t start = 0, int32_t end = 99) {
        auto object = scene->createObject(effect, layer, start, end);
        scene->update();
        return object;
    }
    LevelSource& level(int32_t layer, float left, float right, int32_t start = 0) {
        auto object = add(kLevel, layer, start);
        auto& source = static_cast<LevelSource&>(*object->effects.front());
        source.left = left;
        source.right = right;
        return source;
    }
    static Effect::AudioOutput& output(const Edit::Object& object) {
        return static_cast<Effect::AudioOutput&>(*object.effects[1]);
    }

    Mix render(int32_t frame, Render::RenderTaskType tag = Render::kRenderExport) {
        Mix out;
        worker.requestRenderingAudio(tag, frame, [&out](int32_t f, Media::AudioBuffer& mix) {
            out.frame = f;
            out.channels = mix.channels;
            out.left.assign(mix.getChannel(0), mix.getChannel(0) + mix.samples);
            out.right.assign(mix.getChannel(1), mix.getChannel(1) + mix.samples);
        });
        worker.waitAll();
        return out;
    }

    AudioTestEffects effects;
    std::shared_ptr<Edit::Scene> scene = std::make_shared<Edit::Scene>(0, 0);
    std::shared_mutex lock;
    Render::RenderAudioWorker worker{[this] { return std::make_unique<Edit::ReadSection>(lock, scene, nullptr); }};
};

TEST(AudioWorkerSamples, FramesHoldTheSamplesOfTheirTimeSpan) {
    struct Case {
        int32_t audioRate, videoRate, videoScale;
        int64_t frame, first, count;
    };
    const Case cases[] = {
        {48000, 30, 1, 0, 0, 1600},          {48000, 30, 1, 1, 1600, 1600},
        {48000, 30, 1, 59, 94400, 1600},     {48000, 30000, 1001, 0, 0, 1602},
        {48000, 30000, 1001, 1, 1602, 1601}, {48000, 30000, 1001, 2, 3203, 1602},
        {48000, 30000, 1001, 29, 46446, 1602}, {44100, 30000, 1001, 1, 1471, 1472},
        {48000, 60, 1, 3, 2400, 800},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.audioRate) + " " + std::to_string(c.videoRate) + "/" +
                     std::to_string(c.videoScale) + " frame " + std::to_string(c.frame));
        const int64_t first = Render::RenderAudioWorker::firstSample(c.audioRate, c.frame, c.videoRate, c.videoScale);
        const int64_t next =
            Render::RenderAudioWorker::firstSample(c.audioRate, c.frame + 1, c.videoRate, c.videoScale);
        EXPECT_EQ(first, c.first);
        EXPECT_EQ(next - first, c.count);
    }
    // Thirty frames at 29.97 hold exactly 1.001 s.
    EXPECT_EQ(Render::RenderAudioWorker::firstSample(48000, 30, 30000, 1001), 48048);
}

TEST_F(AudioWorkerTest, AnEmptySceneGivesSilenceOfTheFramesLength) {
    struct Case {
        int32_t videoRate, videoScale, frame;
        size_t samples;
    };
    for (const Case c : {Case{30, 1, 0, 1600}, Case{30000, 1001, 0, 1602}, Case{30000, 1001, 1, 1601}}) {
        scene->videoRate = c.videoRate;
        scene->videoScale = c.videoScale;
        const Mix mix = render(c.frame);
        EXPECT_EQ(mix.frame, c.frame);
        EXPECT_EQ(mix.channels, 2);
        ASSERT_EQ(mix.left.size(), c.samples);
        ASSERT_EQ(mix.right.size(), c.samples);
        for (size_t i = 0; i < c.samples; ++i)
            ASSERT_TRUE(mix.left[i] == 0 && mix.right[i] == 0) << i;
    }
}

TEST_F(AudioWorkerTest, TwoObjectsMixWithTheirVolumeAndPan) {
    struct Case {
        double volumeA, panA, volumeB, panB;
        float left, right;
    };
    // A plays (0.5, 0.5), B plays (0.25, 0.125).
    const Case cases[] = {
        {100, 0, 100, 0, 0.75f, 0.625f},
        {50, 0, 100, 0, 0.5f, 0.375f},
        {100, 50, 100, 0, 0.5f, 0.625f},     // A to the right: its left half as loud
        {100, 0, 200, -100, 1.0f, 0.5f},     // B twice as loud, all left
        {0, 0, 100, 100, 0.0f, 0.125f},
    };
    level(0, 0.5f, 0.5f);
    level(1, 0.25f, 0.125f);
    const auto a = scene->findLayerObject(0, 0, EffectBase::kAudio);
    const auto b = scene->findLayerObject(1, 0, EffectBase::kAudio);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.volumeA) + " " + std::to_string(c.panA) + " " + std::to_string(c.volumeB) +
                     " " + std::to_string(c.panB));
        output(*a).volume.setValue(c.volumeA, 0);
        output(*a).pan.setValue(c.panA, 0);
        output(*b).volume.setValue(c.volumeB, 0);
        output(*b).pan.setValue(c.panB, 0);
        const Mix mix = render(5);
        ASSERT_EQ(mix.left.size(), 1600u);
        for (size_t i : {size_t{0}, size_t{799}, size_t{1599}}) {
            EXPECT_NEAR(mix.left[i], c.left, 1e-6) << i;
            EXPECT_NEAR(mix.right[i], c.right, 1e-6) << i;
        }
    }
}

TEST_F(AudioWorkerTest, TheSampleOffsetCountsFromTheObjectsStart) {
    LevelSource& late = level(1, 1, 1, 10);
    LevelSource& early = level(2, 1, 1, 0);
    for (const int32_t frame : {10, 11, 40})
        render(frame);
    EXPECT_EQ(late.offsets[10], 0);
    EXPECT_EQ(late.offsets[11], 1600);
    EXPECT_EQ(late.offsets[40], 48000);
    EXPECT_EQ(early.offsets[10], 16000);
    // Before its start an object is not in the mix.
    const Mix before = render(0);
    EXPECT_EQ(before.left[0], 1.0f);  // only the early object
    EXPECT_EQ(late.offsets.count(0), 0u);
}

TEST_F(AudioWorkerTest, AFilterObjectJoinsTheChainPastAVideoObject) {
    level(1, 0.25f, 0.25f);
    add(kPicture, 2);
    add(kScale, 3);
    const Mix mix = render(0);
    EXPECT_FLOAT_EQ(mix.left[0], 0.5f);
    const std::vector<std::string> expected = {"prepare @L1", "in @L1", "filter @L3"};
    EXPECT_EQ(RenderTest::journal().take(), expected);
}

TEST_F(AudioWorkerTest, AGroupControlsFiltersRunAfterEachInnerObjects) {
    auto group = add(kAudioGroup, 2);  // range 0: every later layer
    group->addEffect(kScale);
    static_cast<ScaleEffect&>(*group->effects[1]).factor = 3;
    level(4, 0.125f, 0.125f);
    add(kScale, 5);
    level(7, 0.0625f, 0.0625f);
    const Mix mix = render(0);
    // (0.125 x 2 x 3) + (0.0625 x 2 x 3): the filter object on layer 5 sits in the chain of layer 4 only.
    EXPECT_FLOAT_EQ(mix.left[0], 0.75f + 0.1875f);
    const std::vector<std::string> expected = {"control @L2", "in @L4",     "filter @L5",
                                               "filter @L2",  "in @L7",     "filter @L2"};
    std::vector<std::string> ran;
    for (auto& line : RenderTest::journal().take())
        if (line.rfind("prepare", 0) != 0)
            ran.push_back(line);
    EXPECT_EQ(ran, expected);
}

TEST_F(AudioWorkerTest, AnEmptyInputLeavesTheMixAsItWas) {
    level(0, 0.5f, 0.25f);
    level(1, 1, 1).none = true;
    const Mix mix = render(0);
    EXPECT_FLOAT_EQ(mix.left[0], 0.5f);
    EXPECT_FLOAT_EQ(mix.right[0], 0.25f);
}

TEST_F(AudioWorkerTest, AQueuedPreviewIsDroppedByTheNextPreview) {
    std::promise<void> gate;
    std::shared_future<void> open = gate.get_future().share();
    std::promise<void> started;
    std::vector<int32_t> rendered;
    std::mutex mutex;
    worker.requestRenderingAudio(Render::kRenderExport, 0, [&](int32_t, Media::AudioBuffer&) {
        started.set_value();
        open.wait();
    });
    started.get_future().wait();
    for (const int32_t frame : {1, 2})
        worker.requestRenderingAudio(Render::kRenderPreview, frame, [&](int32_t f, Media::AudioBuffer&) {
            const std::lock_guard guard(mutex);
            rendered.push_back(f);
        });
    gate.set_value();
    worker.waitAll();
    EXPECT_EQ(rendered, std::vector<int32_t>{2});
}

// The scene's blocks of one second, rendered frame by frame from inside the
// walk of another scene, as a scene source asks for them.
TEST_F(AudioWorkerTest, ASceneBlockHoldsTheFramesOfItsSecond) {
    struct Case {
        int32_t videoRate, videoScale, block;
    };
    for (const Case c : {Case{30, 1, 2}, Case{30, 1, 0}, Case{30000, 1001, 1}}) {
        SCOPED_TRACE(std::to_string(c.videoRate) + "/" + std::to_string(c.videoScale) + " block " +
                     std::to_string(c.block));
        auto inner = std::make_shared<Edit::Scene>(1, 1);
        inner->videoRate = c.videoRate;
        inner->videoScale = c.videoScale;
        auto source = inner->createObject(kLevel, 0, 0, 299);
        inner->update();
        static_cast<LevelSource&>(*source->effects.front()).byFrame = true;

        scene = std::make_shared<Edit::Scene>(0, 0);
        auto outer = add(kLevel, 0);
        std::promise<std::shared_ptr<Media::AudioBlockBuffer>> block;
        static_cast<LevelSource&>(*outer->effects.front()).onPrepare = [&](Render::AudioRenderContext&) {
            worker.createSceneAudioBlock(*inner, c.block,
                                         [&](std::shared_ptr<Media::AudioBlockBuffer> b) { block.set_value(b); });
        };
        render(0);
        const std::shared_ptr<Media::AudioBlockBuffer> out = block.get_future().get();
        ASSERT_TRUE(out);
        ASSERT_EQ(out->samples, 48000);
        int64_t frame = 0;
        for (int32_t i = 0; i < out->samples; ++i) {
            const int64_t sample = static_cast<int64_t>(c.block) * 48000 + i;
            while (Render::RenderAudioWorker::firstSample(*inner, frame + 1) <= sample)
                ++frame;
            ASSERT_EQ(out->getChannel(0)[i], static_cast<float>(frame)) << i;
            ASSERT_EQ(out->getChannel(1)[i], static_cast<float>(frame)) << i;
        }
        if (c.videoScale == 1 && c.block == 2) {
            EXPECT_EQ(out->getChannel(0)[0], 60.0f);
            EXPECT_EQ(out->getChannel(0)[47999], 89.0f);
        }
    }
}

TEST_F(AudioWorkerTest, ASceneBlockOfTheSceneItselfIsSilentAndWarned) {
    RenderTest::ThreadLog log;
    auto source = add(kLevel, 0);
    std::promise<std::shared_ptr<Media::AudioBlockBuffer>> block;
    static_cast<LevelSource&>(*source->effects.front()).onPrepare = [&](Render::AudioRenderContext& context) {
        worker.createSceneAudioBlock(*context.scene, 0,
                                     [&](std::shared_ptr<Media::AudioBlockBuffer> b) { block.set_value(b); });
    };
    render(0);
    const auto out = block.get_future().get();
    ASSERT_EQ(out->samples, 48000);
    for (int32_t i = 0; i < out->samples; i += 997)
        ASSERT_EQ(out->getChannel(0)[i], 0.0f) << i;
    const auto warnings = log.messages("WARN");
    ASSERT_FALSE(warnings.empty());
    EXPECT_EQ(warnings.front().rfind("recursive scene. index=0", 0), 0u) << warnings.front();
}

TEST_F(AudioWorkerTest, APreInputRenderSignalsItsBufferWhenFilled) {
    auto inner = std::make_shared<Edit::Scene>(1, 1);
    auto source = inner->createObject(kLevel, 0, 0, 99);
    inner->update();
    static_cast<LevelSource&>(*source->effects.front()).byFrame = true;
    std::shared_ptr<Render::RenderAudioWorker::RenderingBuffer> buffer;
    {
        std::shared_lock read(lock);
        buffer = worker.requestPreInputAudio(*inner, 7);
        buffer->event.wait();
    }
    ASSERT_EQ(buffer->samples, 1600);
    EXPECT_EQ(buffer->getChannel(0)[0], 7.0f);
    EXPECT_EQ(buffer->getChannel(1)[1599], 7.0f);
}

}  // namespace

namespace {

// A walk of another scene run inside the walk (a scene source's block) keeps
// its own group state: the outer object still passes its group's filters.
TEST_F(AudioWorkerTest, ANestedWalkLeavesTheOuterGroupsAlone) {
    auto inner = std::make_shared<Edit::Scene>(1, 1);
    auto innerGroup = inner->createObject(kAudioGroup, 0, 0, 99);
    static_cast<ScaleEffect&>(*innerGroup->effects.front()).range.value = 1;
    inner->createObject(kLevel, 1, 0, 99);
    inner->update();

    auto group = add(kAudioGroup, 1);  // covers every later layer
    group->addEffect(kScale);
    static_cast<ScaleEffect&>(*group->effects[1]).factor = 3;
    LevelSource& outer = level(3, 0.125f, 0.125f);
    std::promise<void> blockDone;
    outer.onPrepare = [&](Render::AudioRenderContext&) {
        worker.createSceneAudioBlock(*inner, 0, [&](std::shared_ptr<Media::AudioBlockBuffer>) { blockDone.set_value(); });
    };
    level(5, 0.0625f, 0.0625f);
    const Mix mix = render(0);
    blockDone.get_future().get();
    EXPECT_FLOAT_EQ(mix.left[0], 0.375f + 0.1875f);
}

}  // namespace
