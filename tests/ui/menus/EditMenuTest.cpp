// The Edit popup of the main window's bar: its entries and keys, the cursor
// moves held to the scene, and undo / redo greyed at the ends of the history.
#include <functional>
#include <memory>
#include <utility>

#include "edit/Group.h"
#include "edit/Layer.h"
#include "edit/Object.h"
#include "edit/ObjectFlagCommands.h"
#include "edit/UpdateSection.h"
#include "media/image/ImageBuffer.h"
#include "media/image/PixelFormat.h"
#include "render/cache/CacheService.h"
#include "effect/EffectBase.h"
#include "ui/menus/MenuFixture.h"

namespace {

using namespace MenuTest;
namespace W = Platform::window;

class EditMenuTest : public MenuFixture {
protected:
    W::MenuHandle editMenu() { return popup(WindowMenu::Edit); }
    W::MenuHandle moves() { return W::getSubMenu(editMenu(), 0); }
    uint32_t idAt(int32_t position) { return static_cast<uint32_t>(W::getMenuItemId(editMenu(), position)); }
    // One recorded edit of the current scene: the name of its first layer.
    void renameLayer(const std::wstring& name) {
        auto scope = service().openSection();
        undoService->get()->openRecord(*scope);
        scope->layerChanged = true;
        auto layer = service().currentScene()->getLayer(0).layer;
        ASSERT_NE(layer, nullptr);
        undoService->get()->addLayerUndoUpdate(layer);
        layer->name = name;
    }
    std::wstring layerName() { return service().currentScene()->getLayer(0).layer->name; }
};

TEST_F(EditMenuTest, EntriesStandInOrderWithTheirKeys) {
    struct Row {
        int32_t submenu;  // -1: the popup itself, else the position of its submenu
        int32_t position;
        const char* text;
        int32_t key;  // -1: a separator
    } rows[] = {
        {0, 0, "次のフレームに移動", 0x27},
        {0, 1, "前のフレームに移動", 0x25},
        {0, 2, "次のセクションに移動", 0x28},
        {0, 3, "前のセクションに移動", 0x26},
        {0, 4, "先頭のフレームに移動", 0x24},
        {0, 5, "最後のフレームに移動", 0x23},
        {0, 6, "指定時間に移動", 0},
        {-1, 1, "", -1},
        {-1, 2, "オブジェクトを切り取り", 0x4058},
        {-1, 3, "オブジェクトをコピー", 0x4043},
        {-1, 4, "オブジェクトを貼り付け", 0x4056},
        {-1, 5, "オブジェクトを削除", 0x2E},
        {-1, 6, "", -1},
        {-1, 7, "オブジェクトを分割", 0x53},
        {-1, 8, "オブジェクトを複製", 0x4044},
        {-1, 9, "オブジェクトの長さを変更", 0},
        {-1, 10, "", -1},
        {-1, 11, "クリップボードにイメージをコピー", 0},
        {-1, 12, "クリップボードにイメージをコピー(背景透過)", 0},
        {-1, 13, "", -1},
        {-1, 14, "オブジェクトの中間点を追加", 0x50},
        {-1, 15, "オブジェクトの中間点を削除", 0},
        {-1, 16, "", -1},
        {-1, 17, "オブジェクトのグループ化", 0x4047},
        {-1, 18, "オブジェクトのグループ解除", 0x6047},
        {-1, 19, "", -1},
        {-1, 20, "オブジェクトの表示・非表示", 0},
        {-1, 21, "", -1},
        {22, 0, "現在のフレームを選択開始フレームにする", 0xDB},
        {22, 1, "現在のフレームを選択終了フレームにする", 0xDD},
        {22, 2, "フレーム範囲選択を解除", 0},
        {-1, 23, "", -1},
        {-1, 24, "現在のフレームのオブジェクトを選択", 0x09},
        {-1, 25, "次のオブジェクトを選択", 0xBE},
        {-1, 26, "前のオブジェクトを選択", 0xBC},
        {-1, 27, "", -1},
        {-1, 28, "元に戻す", 0x405A},
        {-1, 29, "やり直し", 0x605A},
        {-1, 30, "", -1},
        {-1, 31, "キャッシュを破棄", 0x74},
    };
    ASSERT_EQ(textAt(editMenu(), 0), "移動");
    ASSERT_EQ(textAt(editMenu(), 22), "フレーム範囲選択");
    ASSERT_EQ(W::getMenuItemCount(moves()), 7);
    ASSERT_EQ(W::getMenuItemCount(W::getSubMenu(editMenu(), 22)), 3);
    ASSERT_EQ(W::getMenuItemCount(editMenu()), 32);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        const W::MenuHandle menu = row.submenu < 0 ? editMenu() : W::getSubMenu(editMenu(), row.submenu);
        if (row.key < 0) {
            EXPECT_EQ(W::getMenuItemId(menu, row.position), 0);
            EXPECT_EQ(W::getSubMenu(menu, row.position), nullptr);
            continue;
        }
        EXPECT_EQ(textAt(menu, row.position), row.text);
        // The submenu's entries are named after the top popup.
        const Window::Shortcut* shortcut = registered(std::string("編集:") + row.text);
        ASSERT_NE(shortcut, nullptr);
        EXPECT_EQ(shortcut->defaultCode, row.key);
    }
}

TEST_F(EditMenuTest, CursorMovesStayInTheSceneAndAlwaysTellTheListeners) {
    std::vector<int32_t> told;
    events->get()->cursorFrameListeners.add([&](int32_t frame) { told.push_back(frame); });
    struct Case {
        int32_t length, from, entry, to;
    } cases[] = {
        {30, 0, 0, 1}, {30, 30, 0, 30}, {30, 5, 1, 4}, {30, 0, 1, 0}, {30, 17, 4, 0}, {30, 3, 5, 30}, {-1, 3, 5, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << " entry " << c.entry);
        service().currentScene()->length = c.length;
        service().currentScene()->cursorFrame = c.from;
        told.clear();
        ASSERT_TRUE(bar->runCommand(W::getMenuItemId(moves(), c.entry)));
        EXPECT_EQ(service().currentScene()->cursorFrame, c.to);
        EXPECT_EQ(told, std::vector<int32_t>{c.to});
    }
}

TEST_F(EditMenuTest, UndoAndRedoAreGreyedAtTheEndsAndDoNothingThere) {
    constexpr int32_t kUndo = 28, kRedo = 29;
    auto enabled = [&](int32_t position) {
        bar->refresh();
        return W::isMenuItemEnabled(editMenu(), idAt(position));
    };
    EXPECT_FALSE(enabled(kUndo));
    EXPECT_FALSE(enabled(kRedo));
    const std::wstring original = layerName();
    renameLayer(L"一");
    renameLayer(L"二");
    EXPECT_TRUE(enabled(kUndo));
    EXPECT_FALSE(enabled(kRedo));

    ASSERT_TRUE(bar->runCommand(static_cast<int32_t>(idAt(kUndo))));
    EXPECT_EQ(layerName(), L"一");
    EXPECT_TRUE(enabled(kUndo));
    EXPECT_TRUE(enabled(kRedo));
    ASSERT_TRUE(bar->runCommand(static_cast<int32_t>(idAt(kUndo))));
    EXPECT_EQ(layerName(), original);
    EXPECT_FALSE(enabled(kUndo));
    // As a key would: the greyed command runs and changes nothing.
    ASSERT_TRUE(bar->runCommand(static_cast<int32_t>(idAt(kUndo))));
    EXPECT_EQ(layerName(), original);

    // Redo brings back the most recently undone record first.
    ASSERT_TRUE(bar->runCommand(static_cast<int32_t>(idAt(kRedo))));
    EXPECT_EQ(layerName(), L"一");
    ASSERT_TRUE(bar->runCommand(static_cast<int32_t>(idAt(kRedo))));
    EXPECT_EQ(layerName(), L"二");
    EXPECT_FALSE(enabled(kRedo));
    ASSERT_TRUE(bar->runCommand(static_cast<int32_t>(idAt(kRedo))));
    EXPECT_EQ(layerName(), L"二");
}

TEST_F(EditMenuTest, ObjectEntriesAreGreyedWithoutSomethingToActOn) {
    // Positions of the length, midpoint, group and show / hide entries.
    const int32_t positions[] = {9, 14, 15, 17, 18, 20};
    using Objects = std::vector<std::shared_ptr<Edit::Object>>;
    struct Row {
        const char* name;
        int32_t cursor;
        std::function<void(Edit::Scene&, Objects&)> setUp;
        const char* enabled;  // one letter per entry: y enabled, - greyed
    } rows[] = {
        {"nothing", 15, [](auto&, auto&) {}, "------"},
        {"a focus object, the cursor inside", 15, [](auto& s, auto& o) { s.focusObject = o[0]; }, "yy---y"},
        {"a focus object, the cursor on its start", 0, [](auto& s, auto& o) { s.focusObject = o[0]; }, "y-y--y"},
        {"the cursor on a midpoint", 10,
         [](auto& s, auto& o) {
             o[0]->midpoints = {10};
             s.focusObject = o[0];
         },
         "y-y--y"},
        {"a grouped focus object", 15,
         [](auto& s, auto& o) {
             auto g = std::make_shared<Edit::Group>();
             o[0]->setGroup(g);
             s.focusObject = o[0];
         },
         "yy--yy"},
        {"two selected, one grouped", 15,
         [](auto& s, auto& o) {
             o[0]->setGroup(std::make_shared<Edit::Group>());
             s.selection.add(o[0], s);
             s.selection.add(o[1], s);
         },
         "yy-y-y"},
        {"two selected, both grouped", 15,
         [](auto& s, auto& o) {
             auto g = std::make_shared<Edit::Group>();
             o[0]->setGroup(g);
             o[1]->setGroup(g);
             s.selection.add(o[0], s);
             s.selection.add(o[1], s);
         },
         "yy-yyy"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Objects objects;
        {
            auto scope = service().openSection();
            scope->layersChanged = true;
            Edit::Scene& scene = *scope->scene;
            scene.clear();
            scene.selection.clear();
            scene.focusObject = nullptr;
            objects = {scene.createObject(0, 0, 30), scene.createObject(1, 0, 30)};
            scene.cursorFrame = row.cursor;
            row.setUp(scene, objects);
        }
        bar->refresh();
        std::string enabled;
        for (int32_t p : positions) enabled += W::isMenuItemEnabled(editMenu(), idAt(p)) ? "y" : "-";
        EXPECT_EQ(enabled, row.enabled);
    }
}

TEST_F(EditMenuTest, ObjectEntriesRunTheirCommandsAtTheCursor) {
    std::shared_ptr<Edit::Object> a, b;
    {
        auto scope = service().openSection();
        scope->layersChanged = true;
        Edit::Scene& scene = *scope->scene;
        a = scene.createObject(0, 0, 30);
        b = scene.createObject(1, 0, 30);
        scene.focusObject = a;
        scene.cursorFrame = 12;
    }
    Edit::Scene& scene = *service().currentScene();
    choose(editMenu(), 14);  // add a midpoint at the cursor
    EXPECT_EQ(a->midpoints, std::vector<int32_t>{12});
    choose(moves(), 2);  // next section boundary: the end
    EXPECT_EQ(scene.cursorFrame, 30);
    choose(moves(), 3);  // previous: the midpoint
    EXPECT_EQ(scene.cursorFrame, 12);
    choose(editMenu(), 15);  // delete the midpoint at the cursor
    EXPECT_TRUE(a->midpoints.empty());
    service().addSelectObject(a, false);
    service().addSelectObject(b, false);
    choose(editMenu(), 17);
    ASSERT_NE(a->group, nullptr);
    EXPECT_EQ(a->group, b->group);
    choose(editMenu(), 18);
    EXPECT_EQ(a->group, nullptr);
    EXPECT_EQ(b->group, nullptr);
    // Four steps, each undone by the undo entry.
    for (int32_t i = 0; i < 4; ++i) choose(editMenu(), 28);
    EXPECT_TRUE(a->midpoints.empty());
    EXPECT_EQ(a->group, nullptr);
    EXPECT_FALSE(undoService->get()->canUndo());
}

TEST_F(EditMenuTest, DisplaySwitchesAreCheckEntriesOfTheDisplayPopup) {
    const W::MenuHandle display = popup(WindowMenu::Display);
    const char* texts[] = {"グリッド(カメラ制御)の表示", "編集視点(カメラ制御)表示",
                           "クリッピングオブジェクトの視覚化"};
    // The three switches follow each other, after the panels, zooms and BPM grid.
    int32_t at = 0;
    while (at < W::getMenuItemCount(display) && textAt(display, at) != texts[0]) ++at;
    ASSERT_LE(at + 3, W::getMenuItemCount(display));
    for (int32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(textAt(display, at + i), texts[i]);
        const Window::Shortcut* shortcut = registered(std::string("表示:") + texts[i]);
        ASSERT_NE(shortcut, nullptr);
        EXPECT_EQ(shortcut->defaultCode, 0);
    }
    int32_t values[3] = {1, 0, 1};
    auto previous = Edit::EditCommand::setViewSwitches(
        {[&](Edit::EditCommand::ViewSwitch which) { return values[static_cast<int>(which)]; },
         [&](Edit::EditCommand::ViewSwitch which, int32_t value) { values[static_cast<int>(which)] = value; }});
    const auto checks = [&] {
        bar->refresh();
        std::string out;
        for (int32_t i = 0; i < 3; ++i)
            out += W::isMenuItemChecked(display, static_cast<uint32_t>(W::getMenuItemId(display, at + i))) ? "x" : "-";
        return out;
    };
    EXPECT_EQ(checks(), "x-x");
    choose(display, at);
    choose(display, at + 1);
    EXPECT_EQ(checks(), "-xx");
    choose(display, at + 2);
    choose(display, at);
    EXPECT_EQ(checks(), "xx-");
    EXPECT_FALSE(undoService->get()->canUndo());
    Edit::EditCommand::setViewSwitches(std::move(previous));
}

// A source effect that only carries the disable flag.
class Source : public Effect::EffectBase {
public:
    Source() { role = kInput; }
    std::shared_ptr<Effect::EffectBase> createInstance() const override { return std::make_shared<Source>(); }
};

TEST_F(EditMenuTest, ShowOrHideGivesEveryTargetTheOppositeOfTheFirstTargetsState) {
    constexpr int32_t kShowHide = 20;
    struct Row {
        const char* hiddenBefore;  // one letter per target: x hidden
        const char* hiddenAfter;
    } rows[] = {{"x--", "---"}, {"-x-", "xxx"}, {"---", "xxx"}, {"xxx", "---"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.hiddenBefore);
        std::vector<std::shared_ptr<Edit::Object>> objects;
        {
            auto scope = service().openSection();
            scope->layersChanged = true;
            Edit::Scene& scene = *scope->scene;
            scene.clear();
            scene.selection.clear();
            for (int32_t i = 0; i < 3; ++i) {
                auto o = scene.createObject(i, 0, 30);
                o->effects.push_back(std::make_shared<Source>());
                o->effects.back()->disabled = row.hiddenBefore[i] == 'x';
                objects.push_back(o);
            }
        }
        for (const auto& o : objects) service().addSelectObject(o, false);
        choose(editMenu(), kShowHide);
        std::string hidden;
        for (const auto& o : objects) hidden += o->effects.front()->disabled ? "x" : "-";
        EXPECT_EQ(hidden, row.hiddenAfter);
    }
}


TEST_F(EditMenuTest, FocusSteppingCyclesTheObjectsUnderTheCursorAndWalksALayer) {
    constexpr int32_t kAtCursor = 24, kNext = 25, kPrevious = 26;
    std::shared_ptr<Edit::Object> low, high, first, last;
    {
        auto scope = service().openSection();
        scope->layersChanged = true;
        Edit::Scene& scene = *scope->scene;
        low = scene.createObject(2, 10, 40);
        high = scene.createObject(5, 0, 20);
        first = scene.createObject(2, 0, 5);
        last = scene.createObject(2, 50, 60);
        scene.createObject(3, 30, 35);  // not under the cursor
        scene.cursorFrame = 15;
    }
    Edit::Scene& scene = *service().currentScene();
    int32_t told = 0;
    events->get()->focusObjectListeners.add([&](const auto&) { ++told; });
    const std::shared_ptr<Edit::Object> cycle[] = {low, high, low};
    for (const auto& expected : cycle) {
        choose(editMenu(), kAtCursor);
        EXPECT_EQ(scene.focusObject, expected);
    }
    EXPECT_EQ(told, 3);

    // Along layer 2 from the middle object; at the ends nothing changes.
    struct Step {
        int32_t entry;
        std::shared_ptr<Edit::Object> focus;
        int32_t cursor;
    } steps[] = {{kNext, last, 50}, {kNext, last, 50}, {kPrevious, low, 10}, {kPrevious, first, 0},
                 {kPrevious, first, 0}};
    for (const Step& step : steps) {
        choose(editMenu(), step.entry);
        EXPECT_EQ(scene.focusObject, step.focus);
        EXPECT_EQ(scene.cursorFrame, step.cursor);
    }
    EXPECT_FALSE(undoService->get()->canUndo());

    // Without a focus object the neighbours are not looked for.
    {
        auto scope = service().openSection();
        scope->scene->focusObject = nullptr;
    }
    choose(editMenu(), kNext);
    choose(editMenu(), kPrevious);
    EXPECT_EQ(scene.focusObject, nullptr);
}

TEST_F(EditMenuTest, FrameRangeEntriesHandTheCursorToTheTimeline) {
    std::vector<std::pair<int32_t, int32_t>> asked;
    auto previous = Menu::EditMenu::setViews({[&](int32_t start, int32_t end) {
        asked.emplace_back(start, end);
        service().currentScene()->selectedStart = start;
        service().currentScene()->selectedEnd = end;
    }});
    const W::MenuHandle range = W::getSubMenu(editMenu(), 22);
    service().currentScene()->cursorFrame = 7;
    auto clearEnabled = [&] {
        bar->refresh();
        return W::isMenuItemEnabled(range, static_cast<uint32_t>(W::getMenuItemId(range, 2)));
    };
    EXPECT_FALSE(clearEnabled());
    choose(range, 0);
    EXPECT_FALSE(clearEnabled()) << "only the start is set";
    choose(range, 1);
    service().currentScene()->selectedStart = 3;
    EXPECT_TRUE(clearEnabled());
    choose(range, 2);
    EXPECT_EQ(asked, (std::vector<std::pair<int32_t, int32_t>>{{7, -1}, {-1, 7}, {-1, -1}}));
    Menu::EditMenu::setViews(std::move(previous));
}


TEST_F(EditMenuTest, ClearingTheCachesEmptiesThemAndRefreshesTheViews) {
    System::ServiceHolder<Cache::CacheService> caches;
    auto& store = caches.get()->imageCache.store();
    const Cache::ImageCacheKey key{L"a.png", 0};
    (void)store.request(key, [](const Cache::ImageCacheKey&) {});
    store.complete(key, Media::ImageBuffer::make(Media::PixelFormat::kR8G8B8A8Unorm, 1, 1), 1048576);
    ASSERT_EQ(store.byteTotal(), 1048576u);
    int32_t changed = 0;
    events->get()->objectChangedListeners.add([&](const auto&) { ++changed; });
    choose(editMenu(), 31);
    EXPECT_EQ(store.byteTotal(), 0u);
    EXPECT_FALSE(store.isCached(key));
    EXPECT_EQ(changed, 1);
    EXPECT_FALSE(undoService->get()->canUndo());
}

}  // namespace
