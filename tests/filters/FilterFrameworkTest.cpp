#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "BlurFixture.h"
#include "effect/EffectService.h"
#include "filters/AudioGroups.h"
#include "filters/BokashiFilter.h"
#include "filters/FilterBase.h"
#include "filters/OptionList.h"
#include "media/audio/AudioBuffer.h"
#include "support/TestFolders.h"

namespace {

using Effect::BokashiFilter;

// Registers "ぼかし" the way the built-in catalogue does.
class BlurCatalog : public Effect::EffectService::Catalog {
public:
    void registerLeading(Effect::EffectService& service) override { service.registerEffect<BokashiFilter>(); }
    void registerTrailing(Effect::EffectService&) override {}
};

class FilterRegistrationTest : public BlurFixture {
protected:
    void SetUp() override {
        folders_.SetUpFolders();
        Effect::EffectService::setCatalog(&catalog_);
        service = std::make_unique<Effect::EffectService>();
    }
    void TearDown() override {
        service.reset();
        Effect::EffectService::setCatalog(nullptr);
        folders_.TearDownFolders();
        BlurFixture::TearDown();
    }
    std::unique_ptr<Effect::EffectService> service;

private:
    struct Folders : TestFolders {
        void TestBody() override {}
        void SetUpFolders() { SetUp(); }
        void TearDownFolders() { TearDown(); }
    } folders_;
    BlurCatalog catalog_;
};

TEST_F(FilterRegistrationTest, PrototypeMadeOnceAndSharedByEveryInstance) {
    BokashiFilter& prototype = service->getDefaultEffect<BokashiFilter>();
    ASSERT_TRUE(prototype.common);
    const BokashiFilter::CommonResource* shared = prototype.common.get();
    EXPECT_TRUE(shared->pixelShaders[5].shader);
    EXPECT_TRUE(shared->computeShaders[5].shader());
    EXPECT_EQ(prototype.role, Effect::EffectBase::kFilter);
    EXPECT_EQ(prototype.media, Effect::EffectBase::kVideo);
    EXPECT_EQ(prototype.placement, 1);
    EXPECT_EQ(std::wstring(prototype.menuGroup), L"ぼかし");
    std::vector<std::wstring> names;
    for (const Effect::EffectItem* item : prototype.items) names.push_back(item->name);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"範囲", L"縦横比", L"光の強さ", L"サイズ固定"}));

    auto first = std::dynamic_pointer_cast<BokashiFilter>(service->getEffect(L"ぼかし"));
    auto second = std::dynamic_pointer_cast<BokashiFilter>(service->getEffect(L"ぼかし"));
    ASSERT_TRUE(first && second);
    EXPECT_NE(first.get(), &prototype);
    EXPECT_EQ(first->common.get(), shared);
    EXPECT_EQ(second->common.get(), shared);
    EXPECT_EQ(prototype.common.use_count(), 3);
    // Instances start from the defaults, not from the prototype's values.
    prototype.range.values = {40};
    auto third = std::dynamic_pointer_cast<BokashiFilter>(service->getEffect(L"ぼかし"));
    EXPECT_EQ(third->range.values, std::vector<int32_t>{5});

    // Every object with the filter gone: the prototype keeps the resource, and
    // a filter added later draws with the same shaders.
    first.reset();
    second.reset();
    third.reset();
    EXPECT_EQ(prototype.common.use_count(), 1);
    auto later = std::dynamic_pointer_cast<BokashiFilter>(service->getEffect(L"ぼかし"));
    EXPECT_EQ(later->common.get(), shared);
    auto image = upload(Pixels(10, 6));
    EXPECT_EQ(later->blurImage(image, 2, 0, 0)->width, 14u);
}

TEST_F(FilterRegistrationTest, InstanceBeforeSharingHoldsNoResource) {
    const BokashiFilter& prototype = service->getDefaultEffect<BokashiFilter>();
    auto fresh = std::static_pointer_cast<BokashiFilter>(prototype.createInstance());
    EXPECT_FALSE(fresh->common);
    fresh->shareResource(prototype);
    EXPECT_EQ(fresh->common.get(), prototype.common.get());
}

TEST(FilterValue, RoundingAndUnits) {
    struct Case {
        double value;
        int32_t pixels;
    };
    const Case cases[] = {{2.5, 3}, {-2.5, -3}, {2.49, 2}, {0.5, 1}, {-0.5, -1}, {1000, 1000}, {0, 0}};
    for (const Case& c : cases) EXPECT_EQ(Effect::FilterValue::pixels(c.value), c.pixels) << c.value;
    EXPECT_FLOAT_EQ(Effect::FilterValue::percent(50), 0.5f);
    EXPECT_FLOAT_EQ(Effect::FilterValue::radians(180), 180.0f * 0.017453292f);
}

TEST(OptionList, BuiltInValueOrderKeepingTheFirstName) {
    const auto list = Effect::makeOptionList({{2, L"二"}, {0, L"零"}, {2, L"弐"}, {1, L"一"}, {-1, L"負"}});
    std::vector<std::pair<int32_t, std::wstring>> entries;
    for (const auto& [value, name] : list->indexMap) entries.emplace_back(value, name);
    EXPECT_EQ(entries, (std::vector<std::pair<int32_t, std::wstring>>{{-1, L"負"}, {0, L"零"}, {1, L"一"}, {2, L"二"}}));
    EXPECT_EQ(list->indexOf(L"二"), 2);
    EXPECT_FALSE(list->contains(L"弐"));
}

// The gain ramp over a block: sample k times start + k * step in groups of
// eight, the padding after the last sample included; a mono block's one plane
// is both channels and is ramped once.
TEST(AudioGroups, RampInGroupsOfEight) {
    struct Case {
        int32_t channels, samples;
    };
    for (const Case c : {Case{2, 20}, Case{1, 20}, Case{2, 8}, Case{1, 1}}) {
        SCOPED_TRACE(testing::Message() << c.channels << " channels, " << c.samples << " samples");
        Media::AudioBuffer audio;
        audio.resize(c.samples, c.channels);
        const int32_t padded = (c.samples + 7) / 8 * 8;
        for (int32_t i = 0; i < padded; ++i) {
            audio.getChannel(0)[i] = 1.0f;
            if (c.channels == 2) audio.getChannel(1)[i] = -2.0f;
        }
        const Effect::AudioGroups groups(audio);
        EXPECT_EQ(groups.groups, padded / 8);
        EXPECT_EQ(groups.mono(), c.channels == 1);
        groups.ramp(0.25f, 0.125f);
        for (int32_t i = 0; i < padded; ++i) {
            const float gain = 0.25f + 0.125f * static_cast<float>(i);
            EXPECT_FLOAT_EQ(audio.getChannel(0)[i], gain) << i;
            EXPECT_FLOAT_EQ(audio.getChannel(1)[i], c.channels == 2 ? -2.0f * gain : gain) << i;
        }
    }
}

}  // namespace
