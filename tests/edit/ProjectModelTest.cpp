#include <gtest/gtest.h>

#include <limits>

#include <optional>

#include "edit/DisplayCamera.h"
#include "edit/FrameZoom.h"
#include "edit/Group.h"
#include "edit/Project.h"
#include "edit/support/ModelFixture.h"
#include "support/ActiveLanguage.h"

using namespace EditTest;
using Edit::FrameZoom;
using Edit::Object;

namespace {

class SceneTest : public ModelFixture {
protected:
    // One object per layer 0..3, started at 10 * layer, so the start names the layer it was made on.
    void fourLayers() {
        for (int32_t i = 0; i < 4; ++i) add(kImage, i, 10 * i, 10 * i + 5);
        settle();
    }
    // The start of each slot's first object, -1 for an empty slot.
    std::vector<int32_t> slotTags() const {
        std::vector<int32_t> tags;
        for (int32_t i = 0; i < scene.layerCount(); ++i) {
            const auto& s = scene.getLayer(i);
            tags.push_back(s.objects.empty() ? -1 : s.objects.front()->start);
        }
        return tags;
    }
};

TEST(SceneName, DefaultNamesPassThroughTheNameTableWhileALanguageIsActive) {
    {
        ActiveLanguage language("[Name]\nRoot=Base\nScene=Szene\n[Message]\nScene=Wrong table\n");
        EXPECT_EQ(std::make_shared<Edit::Scene>(0, 0)->name, L"Base");
        EXPECT_EQ(std::make_shared<Edit::Scene>(4, 1)->name, L"Szene4");
        EXPECT_EQ(Edit::Scene::getDefaultName(12), L"Szene12");
    }
    EXPECT_EQ(Edit::Scene::getDefaultName(0), L"Root");
    EXPECT_EQ(Edit::Scene::getDefaultName(12), L"Scene12");
}

TEST_F(SceneTest, NewSceneHasItsDefaults) {
    EXPECT_EQ(scene.layerCount(), 1);
    EXPECT_EQ(scene.length, 0);
    EXPECT_EQ(scene.cursorFrame, 0);
    EXPECT_EQ(scene.displayZoom.value, 10000);
    EXPECT_TRUE(scene.selection.objects.empty());
    EXPECT_EQ(scene.selection.highestLayer, 0);
    EXPECT_EQ(scene.videoWidth, 1920);
    EXPECT_EQ(scene.videoHeight, 1080);
    EXPECT_EQ(scene.videoRate, 30);
    EXPECT_EQ(scene.videoScale, 1);
    EXPECT_EQ(scene.audioRate, 48000);
    EXPECT_EQ(scene.name, L"Root");
    EXPECT_EQ(Edit::Scene::getDefaultName(3), L"Scene3");
    EXPECT_EQ(scene.camera.toString(), "");
    EXPECT_EQ(scene.getLayer(-1).layer->index, -1);
    EXPECT_EQ(&scene.getLayer(7), &Edit::SceneLayer::empty());
    settle();
}

TEST(FrameZoomTest, StepsStayInTheTable) {
    struct Case {
        int32_t value, steps, expected;
    } cases[] = {
        {12345, 1, 20}, {20, -1, 20}, {100000, 1, 100000}, {10000, 1, 15000}, {10000, -19, 20}, {75, 100, 100000},
    };
    for (const auto& c : cases) {
        // A value outside the table is held as the default, so start from the raw value.
        FrameZoom zoom;
        zoom.value = c.value;
        EXPECT_EQ(zoom.getStepZoom(c.steps).value, c.expected) << c.value << " " << c.steps;
    }
    EXPECT_EQ(FrameZoom(12345).value, 10000);
    EXPECT_EQ(FrameZoom(750).value, 750);
    EXPECT_EQ(FrameZoom::zoomLevels[19], 10000);
}

TEST_F(SceneTest, LayerMovesInsertsAndDeletes) {
    struct Case {
        const char* what;
        std::function<bool(Edit::Scene&)> op;
        std::vector<int32_t> tags;
    } cases[] = {
        {"move onto itself", [](auto& s) { return s.moveLayer(3, 3); }, {0, 10, 20, 30}},
        {"move beyond the slots", [](auto& s) { return s.moveLayer(0, 99); }, {0, 10, 20, 30}},
        {"move down", [](auto& s) { return s.moveLayer(0, 2); }, {10, 20, 0, 30}},
        {"move up", [](auto& s) { return s.moveLayer(3, 1); }, {0, 30, 10, 20}},
        {"delete", [](auto& s) { return s.deleteLayer(1) != nullptr; }, {0, 20, 30, -1}},
        {"delete the last used", [](auto& s) { return s.deleteLayer(3) != nullptr; }, {0, 10, 20, -1}},
        {"insert", [](auto& s) { return s.insertLayer(1) != nullptr; }, {0, -1, 10, 20, 30}},
        {"insert at the top", [](auto& s) { return s.insertLayer(0) != nullptr; }, {-1, 0, 10, 20, 30}},
        {"insert below the last used",
         [](auto& s) { return s.insertLayer(6) != nullptr; },
         {0, 10, 20, 30, -1, -1, -1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        scene.clear();
        fourLayers();
        c.op(scene);
        settle();
        std::vector<int32_t> tags = slotTags();
        tags.resize(c.tags.size(), -1);
        EXPECT_EQ(tags, c.tags);
    }
}

TEST_F(SceneTest, DeletedLayerGetsAFreshDefaultAndAnEmptyLayerMovesNothing) {
    fourLayers();
    auto named = std::make_shared<Edit::Layer>(1);
    named->name = L"背景";
    named->lock = true;
    scene.layers[1]->layer = named;
    auto fresh = scene.deleteLayer(1);
    EXPECT_EQ(named->index, -1);  // moved up to slot 3, then replaced there
    settle();
    EXPECT_EQ(fresh, scene.getLayer(3).layer);
    EXPECT_EQ(fresh->index, 3);
    EXPECT_TRUE(fresh->name.empty());
    EXPECT_FALSE(fresh->lock);
    EXPECT_EQ(scene.lastUsedLayer, 2);

    // Deleting an empty slot above the last used one leaves the layers in place.
    scene.reserveLayer(6);
    scene.deleteLayer(5);
    settle();
    EXPECT_EQ(slotTags(), (std::vector<int32_t>{0, 20, 30, -1, -1, -1, -1}));
}

TEST_F(SceneTest, NamedEmptyLayersAboveTheObjectsShiftWithTheOthers) {
    // Objects on layers 0 and 1; layers 2 and 3 are named but empty.
    const auto named = [&] {
        std::vector<std::wstring> n;
        for (int32_t i = 0; i < scene.layerCount(); ++i) n.push_back(scene.getLayer(i).layer->name);
        n.resize(6);
        return n;
    };
    const auto prepare = [&] {
        scene.clear();
        add(kImage, 0, 0, 9);
        add(kImage, 1, 0, 9);
        scene.reserveLayer(3);
        scene.layers[2]->layer->name = L"背景";
        scene.layers[3]->layer->name = L"前景";
        settle();
    };
    prepare();
    scene.insertLayer(0);  // a new layer 0: every layer above moves up one, names included
    settle();
    EXPECT_EQ(slotTags()[1], 0);
    EXPECT_EQ(named(), (std::vector<std::wstring>{L"", L"", L"", L"背景", L"前景", L""}));

    prepare();
    scene.deleteLayer(0);  // every layer above moves down one
    settle();
    EXPECT_EQ(named(), (std::vector<std::wstring>{L"", L"背景", L"前景", L"", L"", L""}));
}

TEST_F(SceneTest, InsertLayerKeepsTheGivenLayer) {
    fourLayers();
    auto given = std::make_shared<Edit::Layer>(-1);
    given->name = L"戻す";
    EXPECT_EQ(scene.insertLayer(2, given), given);
    EXPECT_EQ(scene.getLayer(2).layer, given);
    EXPECT_EQ(given->index, -1);  // not touched
    given->index = 2;             // as the undo of a delete restores it
    settle();
}

TEST_F(SceneTest, MovingObjectsBetweenLayersCompactsTheSlots) {
    auto a = add(kImage, 0, 0, 9);
    auto b = add(kImage, 0, 20, 29);
    auto c = add(kImage, 2, 5, 15);
    settle();
    scene.moveObjectToLayer(b, 2);
    scene.moveObjectToLayer(a, 1);
    settle();
    EXPECT_TRUE(scene.getLayer(0).objects.empty());
    EXPECT_EQ(scene.getLayer(1).objects, std::vector<std::shared_ptr<Object>>{a});
    EXPECT_EQ(scene.getLayer(2).objects, (std::vector<std::shared_ptr<Object>>{c, b}));
    EXPECT_EQ(scene.length, 29);
    EXPECT_EQ(scene.lastUsedLayer, 2);
}

TEST_F(SceneTest, StretchScalesTheMidpoints) {
    struct Case {
        int32_t end;
        std::vector<int32_t> midpoints;
        int32_t length;
        std::optional<int32_t> nextStart;
        int32_t newEnd;
        std::vector<int32_t> newMidpoints;
    } cases[] = {
        {99, {50}, 50, {}, 49, {24}}, {9, {1, 2}, 2, {}, 3, {1, 2}}, {9, {}, 1, {}, 1, {}},
        {9, {}, 30, 20, 19, {}},      {9, {5}, 20, {}, 19, {10}},    {9, {5}, 10, {}, 9, {5}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        scene.clear();
        auto o = add(kImage, 0, 0, c.end);
        o->midpoints = c.midpoints;
        for (auto* item : o->numberItems()) item->resizeValues(static_cast<int32_t>(c.midpoints.size()) + 2);
        if (c.nextStart) add(kImage, 0, *c.nextStart, *c.nextStart + 10);
        settle();
        scene.stretchObjectLength(*o, c.length);
        EXPECT_EQ(o->end, c.newEnd);
        EXPECT_EQ(o->midpoints, c.newMidpoints);
        settle();
    }
}

TEST_F(SceneTest, StretchSaturatesLengthsBeyondTheFrameRange) {
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    struct Case {
        int32_t start, end;
        std::vector<int32_t> midpoints;
        int32_t length;
        int32_t newEnd;
        std::vector<int32_t> newMidpoints;
    } cases[] = {
        {10, 19, {}, kMax, kMax, {}},
        {1000, 1099, {50}, kMax, kMax, {static_cast<int32_t>(50.0 * (kMax - 1000) / 99)}},
        {kMax - 10, kMax - 1, {}, 100, kMax, {}},
        {10, 19, {5}, kMin, 12, {1}},
        {0, 9, {}, kMin, 1, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << " length " << c.length);
        scene.clear();
        auto o = add(kImage, 0, c.start, c.end);
        o->midpoints = c.midpoints;
        for (auto* item : o->numberItems()) item->resizeValues(static_cast<int32_t>(c.midpoints.size()) + 2);
        settle();
        scene.stretchObjectLength(*o, c.length);
        EXPECT_EQ(o->end, c.newEnd);
        ASSERT_EQ(o->midpoints.size(), c.newMidpoints.size());
        for (size_t i = 0; i < c.midpoints.size(); ++i)  // scaled in single precision
            EXPECT_NEAR(o->midpoints[i], c.newMidpoints[i], 256);
        settle();
    }
}

TEST_F(SceneTest, ResizeStopsAtTheNeighbours) {
    struct Case {
        std::vector<int32_t> midpoints;
        int32_t length;
        bool keepEnd;
        int32_t start, end;
    } cases[] = {
        {{}, 1, false, 10, 10},  {{}, 1, true, 19, 19}, {{}, 0, false, 10, 10},  {{5}, 3, false, 10, 19},
        {{}, 30, false, 10, 24}, {{}, 30, true, 4, 19}, {{}, 10, false, 10, 19}, {{}, 12, true, 8, 19},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.length << " " << c.keepEnd);
        scene.clear();
        add(kImage, 0, 0, 3);
        auto o = add(kImage, 0, 10, 19);
        add(kImage, 0, 25, 30);
        o->midpoints = c.midpoints;
        for (auto* item : o->numberItems()) item->resizeValues(static_cast<int32_t>(c.midpoints.size()) + 2);
        settle();
        scene.resizeObjectLength(*o, c.length, c.keepEnd);
        EXPECT_EQ(o->start, c.start);
        EXPECT_EQ(o->end, c.end);
        settle();
    }
}

TEST_F(SceneTest, FindNearestObject) {
    auto first = add(kImage, 0, 0, 12);
    auto second = add(kImage, 0, 18, 30);
    settle();
    struct Case {
        int32_t a, b;
        std::shared_ptr<Object> expected;
    } cases[] = {
        {10, 20, first}, {19, 19, second},  {13, 17, nullptr}, {13, 18, second},
        {12, 12, first}, {40, 50, nullptr}, {-9, -1, nullptr},
    };
    for (const auto& c : cases)
        EXPECT_EQ(scene.getLayer(0).findNearestObject(c.a, c.b), c.expected) << c.a << ".." << c.b;
    EXPECT_EQ(scene.getLayer(0).lowerBoundByEnd(13), 1u);
    EXPECT_EQ(scene.getLayer(0).upperBoundByStart(18), 2u);
}

TEST_F(SceneTest, ControlRangesReachTheirLayers) {
    add(kGroup, 0, 0, 9);  // layer count 0: every later layer
    auto camera = add(kCamera, 1, 20, 29);
    camera->effects.front()->getLayerRange()->value = 1;
    scene.layers[1]->rangesDirty = true;
    settle();
    EXPECT_EQ(scene.getLayer(0).controlRanges.front().layerCount, Edit::SceneLayer::kAllLayers);
    using Hit = std::tuple<int32_t, int32_t, bool>;
    auto hits = [&](int32_t layer, int32_t from, int32_t to) {
        std::vector<Hit> h;
        scene.forEachControlRange(layer, from, to,
                                  [&](int32_t s, int32_t e, bool exact) { h.emplace_back(s, e, exact); });
        return h;
    };
    EXPECT_EQ(hits(2, 0, 100), (std::vector<Hit>{{0, 9, false}, {20, 29, true}}));
    EXPECT_EQ(hits(3, 0, 100), (std::vector<Hit>{{0, 9, false}}));
    EXPECT_EQ(hits(2, 10, 19), std::vector<Hit>{});
    EXPECT_EQ(hits(0, 0, 100), std::vector<Hit>{});
    EXPECT_EQ(hits(1000000, 0, 5), (std::vector<Hit>{{0, 9, true}}));
}

TEST_F(SceneTest, FindLayerObjectByMedia) {
    add(kImage, 0, 0, 9);
    add(kAudio, 1, 0, 9);
    add(kMovie, 2, 0, 9);
    add(kCamera, 3, 0, 9);
    auto filters = add(kBlur, 4, 0, 9);
    filters->addEffect(kNote);
    settle();
    struct Case {
        int32_t layer, media;
        bool found;
    } cases[] = {
        {0, 0, true},  {0, 1, true},  {0, 2, false}, {0, 3, true},  {0, 4, false},
        {1, 3, true},  {1, 1, false}, {2, 1, true},  {2, 3, true},  {2, 2, true},
        {2, 4, false}, {3, 4, true},  {3, 1, false}, {3, 3, false}, {5, 0, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(scene.findLayerObject(c.layer, 5, c.media) != nullptr, c.found) << c.layer << " " << c.media;
    EXPECT_EQ(scene.findLayerObject(0, 10, 0), nullptr);

    filters->effects[0]->disabled = 1;
    EXPECT_NE(scene.findLayerObject(4, 5, 0), nullptr);  // a filter object counts while any effect is on
    filters->effects[1]->disabled = 1;
    EXPECT_EQ(scene.findLayerObject(4, 5, 0), nullptr);
    scene.getLayer(1).objects.front()->effects[0]->disabled = 1;
    EXPECT_EQ(scene.findLayerObject(1, 5, 0), nullptr);
    scene.layers[0]->layer->hide = true;
    EXPECT_EQ(scene.findLayerObject(0, 5, 0), nullptr);
}

TEST_F(SceneTest, SectionIndexCountsMidpointsAtOrBefore) {
    auto o = add(kImage, 0, 10, 40);
    o->midpoints = {10, 20};
    for (auto [frame, index] : {std::pair{9, 0}, {10, 0}, {19, 0}, {20, 1}, {29, 1}, {30, 2}, {40, 2}, {99, 2}})
        EXPECT_EQ(o->getSectionIndex(frame), index) << frame;
}

TEST_F(SceneTest, FailedCreateLeavesNoObject) {
    EXPECT_EQ(thrownText([&] { add(L"無い", 2, 0, 9); }), "not found effect. @ Effect::EffectService::findEffect");
    EXPECT_EQ(thrownText([&] { add(kPlay, 2, 0, 9); }),
              "not exist input effect. @ Edit::EffectManager::setOutputEffect");
    settle();
    EXPECT_EQ(scene.length, 0);
    for (int32_t i = 0; i < scene.layerCount(); ++i) EXPECT_TRUE(scene.getLayer(i).objects.empty());
}

TEST_F(SceneTest, SelectionAddsRecordsReclicksAndSkipsLockedLayers) {
    auto a = add(kImage, 0, 0, 9);
    auto b = add(kImage, 3, 0, 9);
    auto control = add(kGroup, 1, 0, 9);
    auto locked = add(kImage, 2, 0, 9);
    scene.layers[2]->layer->lock = true;
    settle();
    auto& sel = scene.selection;
    sel.add(a, scene);
    sel.add(locked, scene);
    EXPECT_EQ(sel.objects.size(), 1u);
    sel.add(a, scene);
    EXPECT_EQ(sel.reclicked, a.get());
    sel.add(b, scene);
    EXPECT_EQ(sel.reclicked, nullptr);
    EXPECT_EQ(sel.highestLayer, 3);
    EXPECT_FALSE(sel.controlSelected);
    sel.add(control, scene);
    EXPECT_TRUE(sel.controlSelected);
    EXPECT_TRUE(a->selected && b->selected && control->selected && !locked->selected);
    settle();
    sel.clear();
    EXPECT_FALSE(a->selected);
    EXPECT_EQ(sel.highestLayer, 0);
}

TEST_F(SceneTest, GroupsFollowTheirMembers) {
    auto group = std::make_shared<Edit::Group>();
    auto a = add(kImage, 0, 0, 9);
    auto b = add(kImage, 1, 5, 15);
    auto c = add(kImage, 2, 0, 9);
    for (const auto& o : {a, b, c}) o->setGroup(group);
    settle();
    EXPECT_TRUE(scene.selection.addGroup(b, scene));
    EXPECT_EQ(scene.selection.objects.size(), 3u);
    EXPECT_FALSE(scene.selection.addGroup(a, scene));

    scene.deleteLayer(2);  // c leaves the model but stays in the group
    settle();
    EXPECT_EQ(scene.getGroupObjects(*group).size(), 2u);
    b->removeFromGroup();
    EXPECT_EQ(group->members.size(), 2u);
    EXPECT_EQ(b->group, nullptr);
    c.reset();  // destroying a member takes it out of the set
    scene.selection.clear();
    EXPECT_EQ(group->members.size(), 1u);
    settle();
}

TEST(ProjectTest, ScenesByIdAndOrder) {
    TestCatalog catalog;
    Edit::Project project;
    auto root = project.getOrCreateScene(0);
    EXPECT_EQ(root->displayOrder, 0);
    auto s2 = project.getOrCreateScene(2);
    EXPECT_EQ(s2->displayOrder, 1);
    {
        // A new scene comes after every scene, whatever their orders; at the top of the range it shares the order.
        constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
        const struct {
            std::vector<int32_t> orders;
            int32_t next;
        } cases[] = {
            {{-5, -3}, -2},
            {{-1}, 0},
            {{kMax}, kMax},
            {{kMax - 1, 4}, kMax},
            {{std::numeric_limits<int32_t>::min()}, -kMax},
        };
        for (const auto& c : cases) {
            Edit::Project p;
            for (size_t i = 0; i < c.orders.size(); ++i)
                p.getOrCreateScene(static_cast<int32_t>(i))->displayOrder = c.orders[i];
            EXPECT_EQ(p.getOrCreateScene(100)->displayOrder, c.next) << c.orders.front();
        }
    }
    EXPECT_EQ(project.getOrCreateScene(2), s2);
    EXPECT_EQ(project.getNewSceneId(), 1);
    EXPECT_EQ(project.getScene(5), nullptr);
    EXPECT_EQ(project.scenes.size(), 2u);
    auto o = s2->createObject(kImage, 0, 0, 9);
    project.deleteScene(0);
    project.displayScene = 2;
    project.deleteScene(2);
    EXPECT_EQ(project.scenes.size(), 2u);
    project.displayScene = 0;
    project.deleteScene(2);
    EXPECT_EQ(project.scenes.size(), 1u);
    EXPECT_EQ(o->layer, -1);
    project.path = L"/tmp/a.vpj2";
    project.clear();
    EXPECT_TRUE(project.scenes.empty());
    EXPECT_TRUE(project.path.empty());
    EXPECT_EQ(checkProject(project), "");
}

TEST(DisplayCameraTest, TextFormRoundTrip) {
    Effect::DisplayCamera camera;
    EXPECT_EQ(camera.toString(), "");
    camera.values = {1.5, -2, -1024, 0.25, 0, 90};
    const std::string text = camera.toString();
    EXPECT_EQ(text, "1.500000,-2.000000,-1024.000000,0.250000,0.000000,90.000000");
    Effect::DisplayCamera back;
    back.fromString(text);
    EXPECT_EQ(back.values, camera.values);

    for (const char* bad :
         {"", "1,2,3", "1,2,3,4,5,6,7", "a,b,c,d,e,f", "1,2,3,4,5,", "1,2,3,4,5,x", "1;2;3;4;5;6", "nan,0,0,0,0,0"}) {
        Effect::DisplayCamera c = camera;
        c.fromString(bad);
        EXPECT_EQ(c.values, camera.values) << bad;
    }
}

}  // namespace
