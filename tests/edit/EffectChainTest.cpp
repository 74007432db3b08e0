#include <gtest/gtest.h>

#include "edit/support/ModelFixture.h"

using namespace EditTest;
using Edit::Object;

namespace {

class EffectChainTest : public ModelFixture {
protected:
    std::shared_ptr<Object> chain(std::initializer_list<const wchar_t*> effects) {
        auto o = scene.createObject(0, next_, next_ + 9);
        next_ += 10;
        for (const wchar_t* e : effects) o->addEffect(e);
        return o;
    }
    int32_t next_ = 0;
};

TEST_F(EffectChainTest, PlacementRules) {
    struct Case {
        std::initializer_list<const wchar_t*> before;
        const wchar_t* added;
        std::vector<std::wstring> after;  // the chain, when nothing is thrown
        const char* error;
    } cases[] = {
        {{}, kImage, {kImage, kDraw}, ""},
        {{}, kMovie, {kMovie, kPlayBoth}, ""},
        {{}, kFigureDraw, {kFigure, kFigureDraw}, ""},
        {{}, kPlay, {}, "not exist input effect. @ Edit::EffectManager::setOutputEffect"},
        {{}, kDraw, {}, "not exist input effect. @ Edit::EffectManager::setOutputEffect"},
        {{}, kBlur, {kBlur}, ""},
        {{}, kGroup, {kGroup}, ""},
        {{}, kBadRole, {}, "invalid effect type. @ Edit::EffectManager::setEffectByDefine"},
        {{}, L"無い", {}, "not found effect. @ Effect::EffectService::findEffect"},
        {{kImage}, kBlur, {kImage, kDraw, kBlur}, ""},
        {{kImage}, kInvert, {kImage, kDraw, kInvert}, ""},
        {{kAudio}, kInvert, {kAudio, kPlay, kInvert}, ""},
        {{kImage}, kNote, {kImage, kDraw, kNote}, ""},
        {{kImage}, kVolume, {}, "different effect type. @ Edit::EffectManager::setFilterEffect"},
        {{kMovie}, kCameraFilter, {}, "different effect type. @ Edit::EffectManager::setFilterEffect"},
        {{kMovie}, kNote, {kMovie, kPlayBoth, kNote}, ""},
        {{kImage}, kPlay, {}, "different effect type. @ Edit::EffectManager::setOutputEffect"},
        {{kImage}, kFigureDraw, {kImage, kFigureDraw}, ""},
        {{kImage, kBlur}, kAudio, {kAudio, kDraw, kBlur}, ""},
        {{kBlur}, kImage, {}, "different effect type. @ Edit::EffectManager::setInputEffect"},
        {{kBlur}, kDraw, {}, "different effect type. @ Edit::EffectManager::setOutputEffect"},
        {{kCamera}, kGroup, {}, "can not change control effect. @ Edit::EffectManager::setControlEffect"},
        {{kImage}, kGroup, {}, "can not change control effect. @ Edit::EffectManager::setControlEffect"},
        {{kSceneChange}, kGroup, {kGroup}, ""},
        {{kSceneChange}, kSceneChange, {kSceneChange}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(System::wideToUtf8(c.added));
        auto o = chain(c.before);
        const auto old = names(*o);
        const std::string error = thrownText([&] { o->addEffect(c.added); });
        EXPECT_EQ(error, c.error);
        if (error.empty())
            EXPECT_EQ(names(*o), c.after);
        else
            EXPECT_EQ(names(*o), old);  // a failed check changes nothing
    }
    settle();
}

TEST_F(EffectChainTest, SameInputKeepsItsInstanceAndValues) {
    auto o = chain({kImage});
    auto input = o->effects[0];
    x(input).values = {5, 6};
    o->addEffect(kImage);
    EXPECT_EQ(o->effects[0], input);
    EXPECT_EQ(x(o->effects[0]).values, (std::vector<int32_t>{5, 6}));
}

TEST_F(EffectChainTest, InputWhoseFiltersDoNotFitIsRefused) {
    auto o = chain({kAudio});
    o->effects.push_back(catalog.get(kBlur).instantiate());  // only a broken file could leave this
    EXPECT_EQ(thrownText([&] { o->addEffect(kImage); }),
              "different filter effect type. @ Edit::EffectManager::setInputEffect");
    EXPECT_EQ(names(*o), (std::vector<std::wstring>{kAudio, kPlay, kBlur}));
}

TEST_F(EffectChainTest, LayerRangeControlFollowsTheControlName) {
    for (auto [name, flag] : {std::pair{kGroup, true}, {kGroupAudio, true}, {kCamera, true}, {kSceneChange, false}}) {
        auto o = chain({name});
        EXPECT_EQ(o->layerRangeControl, flag) << System::wideToUtf8(name);
    }
    auto o = chain({kSceneChange});
    o->addEffect(kGroup);
    EXPECT_TRUE(o->layerRangeControl);
    settle();
}

TEST_F(EffectChainTest, NewFilterGoesBehindTheGivenEffect) {
    auto o = chain({kImage, kBlur, kNote});
    const auto blur = o->effects[2];
    EXPECT_EQ(o->addEffect(kInvert, blur.get()), 3u);
    EXPECT_EQ(names(*o), (std::vector<std::wstring>{kImage, kDraw, kBlur, kInvert, kNote}));
    EXPECT_EQ(o->addEffect(kNote, o->effects[1].get()), 2u);  // behind the output
    EXPECT_EQ(names(*o), (std::vector<std::wstring>{kImage, kDraw, kNote, kBlur, kInvert, kNote}));

    auto filters = chain({kBlur});
    filters->addEffect(kNote, nullptr);
    filters->addEffect(kInvert, catalog.get(kImage).instantiate().get());  // not in the chain: to the front
    EXPECT_EQ(names(*filters), (std::vector<std::wstring>{kInvert, kBlur, kNote}));
    settle();
}

TEST_F(EffectChainTest, RemoveAndMoveKeepTheShape) {
    auto o = chain({kImage, kBlur, kNote});
    o->removeEffect(*o->effects[0]);
    EXPECT_EQ(o->effects.size(), 4u);
    o->moveUpEffect(*o->effects[2]);  // the first filter stays behind the output
    EXPECT_EQ(names(*o), (std::vector<std::wstring>{kImage, kDraw, kBlur, kNote}));
    EXPECT_FALSE(o->canMoveDownEffect(*o->effects[1]));
    EXPECT_FALSE(o->canMoveDownEffect(*o->effects[3]));
    EXPECT_TRUE(o->canMoveDownEffect(*o->effects[2]));
    o->moveDownEffect(*o->effects[2]);
    EXPECT_EQ(names(*o), (std::vector<std::wstring>{kImage, kDraw, kNote, kBlur}));
    o->moveUpEffect(*o->effects[3]);
    EXPECT_EQ(names(*o), (std::vector<std::wstring>{kImage, kDraw, kBlur, kNote}));

    auto filters = chain({kBlur, kNote});
    filters->removeEffect(*filters->effects[0]);
    EXPECT_EQ(names(*filters), std::vector<std::wstring>{kNote});
    filters->removeEffect(*filters->effects[0]);
    EXPECT_EQ(names(*filters), std::vector<std::wstring>{kNote});
    filters->removeEffect(*catalog.get(kNote).instantiate());
    EXPECT_EQ(filters->effects.size(), 1u);
    settle();
}

TEST_F(EffectChainTest, HeadFilterStaysWhenTheRestWouldNotFitTheNextHead) {
    // A filter for both media heads a video and an audio filter: without it
    // the video filter would head an audio filter, a chain no file reads back.
    auto mixed = chain({kInvert, kBlur, kVolume});
    mixed->removeEffect(*mixed->effects[0]);
    EXPECT_EQ(names(*mixed), (std::vector<std::wstring>{kInvert, kBlur, kVolume}));
    auto fitting = chain({kInvert, kBlur, kNote});
    fitting->removeEffect(*fitting->effects[0]);
    EXPECT_EQ(names(*fitting), (std::vector<std::wstring>{kBlur, kNote}));
    settle();
}

TEST_F(EffectChainTest, ObjectTypes) {
    struct Case {
        const wchar_t* head;
        int32_t type;
    } cases[] = {{kImage, 1}, {kAudio, 2}, {kMovie, 3}, {kBlur, 4}, {kVolume, 5}, {kInvert, 6}, {kGroup, 7}};
    for (const auto& c : cases) EXPECT_EQ(chain({c.head})->getObjectType(), c.type) << System::wideToUtf8(c.head);
    auto empty = chain({});
    EXPECT_EQ(thrownText([&] { empty->getObjectType(); }), "not exist effect. @ Edit::EffectManager::getObjectType");
    empty->effects.push_back(catalog.get(kDraw).instantiate());
    EXPECT_EQ(thrownText([&] { empty->getObjectType(); }), "illegal top effect. @ Edit::EffectManager::getObjectType");
}

TEST_F(EffectChainTest, RemoveUnfitAfterAnInputChange) {
    auto o = chain({kAudio, kVolume, kNote});
    o->addEffect(kImage);  // the old chain fits the audio input, so the head is replaced
    EXPECT_EQ(names(*o), (std::vector<std::wstring>{kImage, kPlay, kVolume, kNote}));
    o->removeUnfitEffects();
    EXPECT_EQ(names(*o), (std::vector<std::wstring>{kImage, kDraw, kNote}));
    settle();

    // An output missing in front of the filters is put back without losing a filter.
    auto broken = chain({kImage, kBlur});
    broken->effects.erase(broken->effects.begin() + 1);
    broken->removeUnfitEffects();
    EXPECT_EQ(names(*broken), (std::vector<std::wstring>{kImage, kDraw, kBlur}));
    settle();
}

TEST_F(EffectChainTest, CopyEffectsMakesIndependentInstances) {
    auto o = chain({kImage, kBlur});
    x(o->effects[0]).values = {10, 20};
    o->effects[2]->disabled = 1;
    o->effects[2]->hidden = 1;
    o->effects[0]->locked = 1;
    auto target = chain({kAudio});
    o->copyEffectsTo(*target);
    ASSERT_EQ(names(*target), names(*o));
    for (size_t i = 0; i < o->effects.size(); ++i) {
        EXPECT_NE(target->effects[i], o->effects[i]);
        EXPECT_EQ(target->effects[i]->disabled, o->effects[i]->disabled);
        EXPECT_EQ(target->effects[i]->hidden, o->effects[i]->hidden);
        EXPECT_EQ(target->effects[i]->locked, o->effects[i]->locked);
    }
    EXPECT_EQ(x(target->effects[0]).values, (std::vector<int32_t>{10, 20}));
    x(target->effects[0]).values[0] = 99;
    EXPECT_EQ(x(o->effects[0]).values[0], 10);

    auto control = chain({kCamera});
    control->copyEffectsTo(*target);
    EXPECT_TRUE(target->layerRangeControl);
    settle();
}

TEST_F(EffectChainTest, SectionKeyValuesByBoundary) {
    auto o = chain({kImage});
    o->midpoints = {10, 20};
    Edit::EffectManager::setSectionNum(*o->effects[0], o->sectionCount());
    x(o->effects[0]).values = {0, 100, 200, 300};
    auto& item = x(o->effects[0]);
    struct Case {
        int32_t a;
        double value;
    } cases[] = {{-1, 0}, {0, 0}, {1, 10}, {2, 20}, {3, 30}, {9, 30}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(o->getSectionKeyValues(*o, c.a, nullptr).at(&item).value, c.value) << c.a;
    // A layout with another midpoint count reads only the first and the last key.
    auto other = chain({kImage});
    other->midpoints = {5};
    EXPECT_DOUBLE_EQ(o->getSectionKeyValues(*other, 1, nullptr).at(&item).value, 0);
    EXPECT_DOUBLE_EQ(o->getSectionKeyValues(*other, 2, nullptr).at(&item).value, 30);
    // Keyed by the other object's items at the same positions.
    const auto mapped = o->getSectionKeyValues(*o, 3, other.get());
    EXPECT_DOUBLE_EQ(mapped.at(&x(other->effects[0])).value, 30);
    EXPECT_FALSE(mapped.count(&item));
}

TEST_F(EffectChainTest, ItemValuesAtAFrame) {
    auto o = add(kImage, 0, 0, 30);
    o->addSection(10);
    o->addSection(20);
    x(o->effects[0]).values = {0, 100, 200, 300};
    settle();
    const auto values = Edit::EffectManager::getItemValuesAt(scene, o, 14, false);
    EXPECT_DOUBLE_EQ(values.at(&x(o->effects[0])).value, 14);
    EXPECT_DOUBLE_EQ(values.at(static_cast<TestEffect&>(*o->effects[0]).zoom.get()).value, 100);
    EXPECT_EQ(values.size(), o->numberItems().size());
}

}  // namespace
