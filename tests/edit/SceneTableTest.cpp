#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include <functional>
#include <optional>
#include <string>

#include "core/EventService.h"
#include "core/ServiceHolder.h"
#include "edit/EditDialogs.h"
#include "edit/EditService.h"
#include "edit/Object.h"
#include "edit/PopupMenu.h"
#include "edit/Project.h"
#include "edit/Scene.h"
#include "edit/UndoService.h"
#include "support/ScriptedBoxes.h"
#include "support/TestFolders.h"
#include "edit/support/ModelFixture.h"

using namespace EditTest;
using Edit::Object;

namespace {

class SceneTargetTest : public ModelFixture {};

TEST_F(SceneTargetTest, FocusObjectStandsInForAnEmptySelection) {
    int calls = 0;
    auto count = [&](const std::shared_ptr<Object>&) { return ++calls, true; };
    EXPECT_FALSE(scene.anyTargetObject(count));
    EXPECT_EQ(calls, 0);

    auto focus = add(kImage, 0, 0, 9);
    settle();
    scene.focusObject = focus;
    EXPECT_TRUE(scene.anyTargetObject(count));
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(scene.anyTargetObject([&](const std::shared_ptr<Object>& o) { return o != focus; }));

    scene.deleteLayer(0);  // the focus object leaves the model
    settle();
    EXPECT_FALSE(scene.anyTargetObject(count));
    EXPECT_EQ(calls, 1);
    scene.focusObject.reset();
}

TEST_F(SceneTargetTest, SelectionIsTestedInOrderUntilThePredicateHolds) {
    auto a = add(kImage, 0, 0, 9);
    auto b = add(kImage, 1, 0, 9);
    auto c = add(kImage, 2, 0, 9);
    auto focus = add(kImage, 3, 0, 9);
    settle();
    scene.focusObject = focus;
    for (const auto& o : {a, b, c}) scene.selection.add(o, scene);
    std::vector<const Object*> seen;
    EXPECT_TRUE(scene.anyTargetObject([&](const std::shared_ptr<Object>& o) {
        seen.push_back(o.get());
        return o == b;
    }));
    EXPECT_EQ(seen, (std::vector<const Object*>{a.get(), b.get()}));
    // The focus object does not count once something is selected.
    EXPECT_FALSE(scene.anyTargetObject([&](const std::shared_ptr<Object>& o) { return o == focus; }));
    scene.selection.clear();
    scene.focusObject.reset();
}

TEST(SceneTable, NewIdIsTheSmallestUnused) {
    TestCatalog catalog;
    struct Case {
        std::vector<int32_t> ids;
        int32_t expected;
    };
    for (const Case& c : {Case{{0}, 1}, Case{{0, 1, 3}, 2}, Case{{0, 1, 2, 3, 4}, 5}, Case{{0, 2}, 1}}) {
        Edit::Project project;
        for (int32_t id : c.ids) project.getOrCreateScene(id);
        EXPECT_EQ(project.getNewSceneId(), c.expected);
    }
}

TEST(SceneInfo, TipTextGivesNameTimeFormatAndAudioRate) {
    struct Case {
        int32_t rate, scale, audioRate, length;
        std::wstring expected;
    };
    const Case cases[] = {
        {30000, 1001, 48000, 0, L"S\nTotalTime: 00:00:00\nVideo: 1920 x 1080 / 29.97003fps\nAudio: 48khz\n"},
        {30, 1, 44100, 5400, L"S\nTotalTime: 00:03:00\nVideo: 1920 x 1080 / 30fps\nAudio: 44.1khz\n"},
        {60, 2, 8000, 108030, L"S\nTotalTime: 01:00:01\nVideo: 1920 x 1080 / 30fps\nAudio: 8khz\n"},
    };
    for (const Case& c : cases) {
        Edit::Scene scene(1, 0);
        scene.name = L"S";
        scene.videoRate = c.rate;
        scene.videoScale = c.scale;
        scene.audioRate = c.audioRate;
        scene.length = c.length;
        EXPECT_EQ(scene.getInfoText(), c.expected);
    }
}

TEST(SceneInfo, TipIsShownThroughTheInstalledService) {
    Edit::Scene scene(0, 0);
    scene.showInfoToolTip();  // no tool-tip service: nothing happens
    std::optional<std::wstring> shown;
    auto previous = Edit::Scene::setInfoTipShow([&](const std::wstring& text) { shown = text; });
    scene.showInfoToolTip();
    Edit::Scene::setInfoTipShow(previous);
    EXPECT_EQ(shown, scene.getInfoText());
}

// Keeps what the scene menu inserts.
struct RecordedMenu : Edit::PopupMenu {
    struct Item {
        std::wstring text;  // empty for a separator
        bool enabled;
        std::function<void()> action;
    };
    std::vector<Item> items;
    void insertItem(const std::wstring& text, bool enabled, std::function<void()> action) override {
        items.push_back({text, enabled, std::move(action)});
    }
    void insertSeparator() override { items.push_back({L"", true, nullptr}); }
};

class SceneMenuTest : public TestFolders {
protected:
    TestCatalog catalog;
    System::ServiceHolder<Event::EventService> events;
    System::ServiceHolder<Undo::UndoService> undo;
    std::shared_ptr<Edit::HeadlessDialogs> dialogs = std::make_shared<Edit::HeadlessDialogs>();
    std::optional<System::ServiceHolder<Edit::EditService>> edit;
    ScriptedBoxes boxes;

    void SetUp() override {
        TestFolders::SetUp();
        Edit::EditService::setDialogs(dialogs);
        edit.emplace();
    }
    void TearDown() override {
        edit.reset();
        Edit::EditService::setDialogs(nullptr);
        TestFolders::TearDown();
    }
    Edit::EditService& service() { return *edit->get(); }
    RecordedMenu menuOf(const Edit::Scene& scene) {
        RecordedMenu menu;
        scene.insertSceneMenu(menu, service());
        return menu;
    }
};

TEST_F(SceneMenuTest, ItemsInOrderWithDeleteGrayedForTheRootScene) {
    const auto texts = [](const RecordedMenu& menu) {
        std::vector<std::pair<std::wstring, bool>> t;
        for (const auto& item : menu.items) t.emplace_back(item.text, item.enabled);
        return t;
    };
    using Items = std::vector<std::pair<std::wstring, bool>>;
    EXPECT_EQ(texts(menuOf(*service().currentScene())), (Items{{L"シーンを新規作成", true},
                                                               {L"シーンを削除", false},
                                                               {L"", true},
                                                               {L"シーン名を変更", true},
                                                               {L"シーンの設定", true}}));
    dialogs->sceneAnswers.push_back(Edit::SceneValues{L"Second", 640, 480, 30, 1, 48000});
    menuOf(*service().currentScene()).items[0].action();  // new scene
    const auto second = service().currentScene();
    ASSERT_EQ(second->id, 1);
    const RecordedMenu menu = menuOf(*second);
    EXPECT_TRUE(menu.items[1].enabled);

    dialogs->nameAnswers.push_back(L"Renamed");
    menu.items[3].action();
    EXPECT_EQ(second->name, L"Renamed");
    dialogs->sceneAnswers.push_back(Edit::SceneValues{L"Set", 320, 240, 24, 1, 8000});
    menu.items[4].action();
    EXPECT_EQ(second->videoWidth, 320);
    menu.items[1].action();  // an empty scene goes without a question
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(service().project().getScene(1), nullptr);
    EXPECT_EQ(service().currentScene()->id, 0);
}

}  // namespace
