// The audio group control's factors reaching the mix through the audio
// render worker: a source of constant samples under one or two groups.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <shared_mutex>
#include <string>
#include <vector>

#include "core/Exception.h"
#include "edit/EffectCatalog.h"
#include "edit/Object.h"
#include "edit/ReadSection.h"
#include "edit/Scene.h"
#include "effect/AudioRenderContext.h"
#include "effects/AudioOutput.h"
#include "effects/GroupAudioControl.h"
#include "effects/OutputFixture.h"
#include "media/audio/AudioBuffer.h"
#include "render/RenderAudioWorker.h"

namespace {

using Effect::EffectBase;
using Effect::GroupAudioControl;

constexpr const wchar_t* kLevel = L"音源テスト";

// Every sample of the frame is 1 on both sides.
class LevelSource : public EffectBase {
public:
    LevelSource() {
        name = kLevel;
        role = kInput;
        media = kAudio;
        placement = kAudio;
    }
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<LevelSource>(); }
    std::shared_ptr<Media::AudioBuffer> inputAudio(Render::AudioRenderContext& context) override {
        auto out = std::make_shared<Media::AudioBuffer>();
        out->resize(context.range.count, 2);
        for (int32_t c = 0; c < 2; ++c)
            for (int32_t i = 0; i < out->samples; ++i) out->getChannel(c)[i] = 1;
        return out;
    }
};

class AudioCatalog : public Edit::EffectCatalog {
public:
    AudioCatalog() : previous_(current()) { setCurrent(this); }
    ~AudioCatalog() override { setCurrent(previous_); }
    const EffectBase& findEffect(const std::wstring& name) const override {
        if (name == kLevel) return source_;
        if (name == Effect::AudioOutput::kName) return output_;
        if (name == GroupAudioControl::kName) return group_;
        throw System::messageException("AudioCatalog::findEffect", "not found effect.");
    }
    const EffectBase& getOutputEffect(const EffectBase&) const override { return output_; }
    const EffectBase* getPairedInputEffect(const EffectBase&) const override { return nullptr; }

private:
    EffectCatalog* previous_;
    LevelSource source_;
    Effect::AudioOutput output_;
    GroupAudioControl group_;
};

class GroupAudio : public testing::Test {
protected:
    GroupAudioControl& group(int32_t layer, double volume, double pan, int32_t range = 0) {
        auto object = scene->createObject(GroupAudioControl::kName, layer, 0, 99);
        scene->update();
        auto& g = dynamic_cast<GroupAudioControl&>(*object->effects.front());
        OutputTest::setItem(g.volume, volume);
        OutputTest::setItem(g.pan, pan);
        g.layers.value = range;
        return g;
    }
    void level(int32_t layer) {
        scene->createObject(kLevel, layer, 0, 99);
        scene->update();
    }
    // The first sample of each side of frame 0's mix.
    std::pair<float, float> render() {
        std::pair<float, float> out{-1, -1};
        worker.requestRenderingAudio(Render::kRenderExport, 0, [&out](int32_t, Media::AudioBuffer& mix) {
            if (mix.samples > 0) out = {mix.getChannel(0)[0], mix.getChannel(1)[0]};
        });
        worker.waitAll();
        return out;
    }

    AudioCatalog catalog;
    std::shared_ptr<Edit::Scene> scene = std::make_shared<Edit::Scene>(0, 0);
    std::shared_mutex lock;
    Render::RenderAudioWorker worker{[this] { return std::make_unique<Edit::ReadSection>(lock, scene, nullptr); }};
};

TEST_F(GroupAudio, TheGroupsVolumeAndBalanceReachTheMix) {
    struct Group {
        double volume, pan;
    };
    struct Case {
        const char* name;
        std::vector<Group> groups;  // outermost first, each covering every layer after it
        float left, right;
    };
    const Case cases[] = {
        {"unchanged", {{100, 0}}, 1, 1},
        {"half volume", {{50, 0}}, 0.5f, 0.5f},
        {"louder", {{250, 0}}, 2.5f, 2.5f},
        {"half right", {{50, 50}}, 0.25f, 0.5f},
        {"fully left", {{50, -100}}, 0.5f, 0},
        {"fully right", {{100, 100}}, 0, 1},
        {"nested groups multiply", {{50, 0}, {50, 50}}, 0.125f, 0.25f},
        {"nested balances multiply", {{100, 50}, {100, -50}}, 0.5f, 0.5f},
    };
    for (const Case& c : cases) {
        scene = std::make_shared<Edit::Scene>(0, 0);
        int32_t layer = 0;
        for (const Group& g : c.groups) group(layer++, g.volume, g.pan);
        level(layer);
        const auto [left, right] = render();
        EXPECT_FLOAT_EQ(left, c.left) << c.name;
        EXPECT_FLOAT_EQ(right, c.right) << c.name;
    }
}

TEST_F(GroupAudio, OnlyTheLayersInRangeFollowTheGroup) {
    group(0, 50, 0, 1);
    level(2);  // outside the range of one layer
    EXPECT_EQ(render(), std::make_pair(1.0f, 1.0f));
    group(3, 50, 0, 1);
    level(4);  // inside: both sources add
    EXPECT_EQ(render(), std::make_pair(1.5f, 1.5f));
}

}  // namespace
