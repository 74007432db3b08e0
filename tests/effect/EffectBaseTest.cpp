#include <gtest/gtest.h>

#include <stdexcept>

#include "effect/EffectBase.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemInteger.h"
#include "effect/NameTranslation.h"
#include "effect/AudioRenderContext.h"
#include "effect/RenderContext.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "support/TestModelQueries.h"

using namespace Effect;

namespace {

// A filter that overrides nothing but what every class must.
class PlainFilter : public EffectBase {
public:
    EffectItemInteger amount{&items, L"量", 10, 0, 100};
    EffectItemCheck flip{&items, L"反転"};
    int* shared = nullptr;  // the class-wide resource, shared from the prototype

    PlainFilter() {
        name = L"ぼかし";
        role = kFilter;
        media = kVideoAudio;
        placement = kVideo;
    }
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<PlainFilter>(); }
    void createCommonResource() override { shared = new int(7); }
    void shareResource(const EffectBase& prototype) override {
        shared = static_cast<const PlainFilter&>(prototype).shared;
    }
    ~PlainFilter() override {
        if (shared && shared == owned) delete shared;
    }
    int* owned = nullptr;
};

std::string failureOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return {};
}

// A buffer handle whose release the test can watch; the buffer type itself
// stays opaque here.
template <class T>
std::shared_ptr<T> watchedBuffer(std::weak_ptr<int>& watch) {
    auto owner = std::make_shared<int>(0);
    watch = owner;
    return std::shared_ptr<T>(owner, reinterpret_cast<T*>(owner.get()));
}

}  // namespace

TEST(EffectBaseTest, BaseSlotsThrowNotImplementWithTheirScopes) {
    PlainFilter f;
    Render::RenderContext c;
    Render::AudioRenderContext a;
    const struct {
        const char* scope;
        std::function<void()> call;
    } cases[] = {
        {"Effect::EffectBase::inputVideo", [&] { f.inputVideo(c); }},
        {"Effect::EffectBase::outputVideo",
         [&] { f.outputVideo(c, *reinterpret_cast<Media::RenderBuffer*>(&c), nullptr); }},
        {"Effect::EffectBase::getOutputView", [&] { f.getOutputView(c); }},
        {"Effect::EffectBase::filterVideo", [&] { f.filterVideo(c, nullptr); }},
        {"Effect::EffectBase::inputAudio", [&] { f.inputAudio(a); }},
        {"Effect::EffectBase::outputAudio",
         [&] { f.outputAudio(a, *reinterpret_cast<Media::AudioBuffer*>(&a), nullptr); }},
        {"Effect::EffectBase::filterAudio", [&] { f.filterAudio(a, nullptr); }},
        {"Effect::EffectBase::getLayerRange", [&] { f.getLayerRange(); }},
        {"Effect::EffectBase::anchorEvent", [&] { f.anchorEvent(*reinterpret_cast<const Anchor::AnchorEvent*>(&c)); }},
    };
    for (const auto& k : cases) {
        const std::string text = failureOf(k.call);
        EXPECT_NE(text.find("not implement."), std::string::npos) << k.scope;
        EXPECT_NE(text.find(k.scope), std::string::npos) << text;
    }
    // The quiet slots.
    f.preInputVideo(c);
    f.updateAnchor(c, 1920, 1080);
    f.controlVideo(c);
    f.preInputAudio(a);
    f.controlAudio(a);
    f.updateItemState();
    EXPECT_EQ(f.getPairedInputEffect(), nullptr);
    EXPECT_FALSE(f.hasLinkedAudio(0));
    EXPECT_FALSE(f.itemEvent(ItemEvent{}));
    EXPECT_FALSE(f.isSupportedFile(L"/a.mp4"));
}

TEST(EffectBaseTest, FiltersReleaseTheirBufferBeforeThrowing) {
    PlainFilter f;
    Render::RenderContext c;
    Render::AudioRenderContext a;
    std::weak_ptr<int> image, audio;
    EXPECT_THROW(f.filterVideo(c, watchedBuffer<Media::ResourceBuffer>(image)), std::runtime_error);
    EXPECT_TRUE(image.expired());
    EXPECT_THROW(f.filterAudio(a, watchedBuffer<Media::AudioBuffer>(audio)), std::runtime_error);
    EXPECT_TRUE(audio.expired());
}

TEST(EffectBaseTest, InstancesHaveConstructorDefaultsAndShareTheResource) {
    PlainFilter prototype;
    prototype.createCommonResource();
    prototype.owned = prototype.shared;
    prototype.amount.value = 55;
    prototype.disabled = 1;
    const std::shared_ptr<EffectBase> instance = prototype.instantiate();
    auto& made = static_cast<PlainFilter&>(*instance);
    EXPECT_EQ(made.amount.value, 10);
    EXPECT_EQ(made.disabled, 0);
    EXPECT_EQ(made.shared, prototype.shared);
    ASSERT_EQ(made.items.size(), 2u);
    EXPECT_EQ(made.items[0], &made.amount);
    EXPECT_EQ(made.items[1], &made.flip);
    for (size_t i = 0; i < made.items.size(); ++i) EXPECT_EQ(made.items[i]->name, prototype.items[i]->name);
}

namespace {
std::wstring englishName(const wchar_t* name) { return std::wstring(name) == L"ぼかし" ? L"Blur" : std::wstring(name); }
}  // namespace

TEST(EffectBaseTest, DisplayNameGoesThroughTheLanguageTable) {
    PlainFilter f;
    EXPECT_EQ(f.getDisplayName(), L"ぼかし");
    setNameTranslator(englishName);
    EXPECT_EQ(f.getDisplayName(), L"Blur");
    f.name = L"未訳";
    EXPECT_EQ(f.getDisplayName(), L"未訳");
    setNameTranslator(nullptr);
}
