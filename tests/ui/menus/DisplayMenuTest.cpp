// The Display popup over the main window's dock with stand-in panels: its
// entries in order, their keys and check marks, and what choosing them does.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/SettingService.h"
#include "core/TextConvert.h"
#include "platform/window/Menu.h"
#include "edit/ObjectFlagCommands.h"
#include "ui/framework/DockFixture.h"
#include "ui/framework/ShortcutList.h"
#include "ui/menus/DisplayMenu.h"
#include "ui/menus/MenuFixture.h"

namespace {

namespace W = Platform::window;
using Window::WindowMenu;

class DisplayMenuTest : public DockWindow {
protected:
    void SetUp() override {
        DockWindow::SetUp();
        shortcuts.emplace();
    }
    void TearDown() override {
        Menu::DisplayMenu::setViews({});
        display.reset();
        shortcuts.reset();
        DockWindow::TearDown();
    }
    void build(const std::string& zoomPresets = "") {
        Setting::SettingService::get()->system.config.getValue("PreviewZoom").text = zoomPresets;
        display.emplace(*service->windowMenu[WindowMenu::Display].menu);
        display->createMenu();
        service->refresh();
    }
    W::MenuHandle popup() { return service->windowMenu[WindowMenu::Display].menu->menu; }
    // The entries of a menu, one a line: "-" for a separator, "> " before a
    // submenu, "[x] " before a checked entry and "(off) " before a grayed one.
    static std::vector<std::string> entries(W::MenuHandle menu) {
        std::vector<std::string> out;
        for (int32_t i = 0; i < W::getMenuItemCount(menu); ++i) {
            std::string text;
            (void)W::getMenuStringAt(menu, i, text);
            text = text.substr(0, text.find('\t'));
            const int32_t id = W::getMenuItemId(menu, i);
            if (W::getSubMenu(menu, i) != nullptr) {
                out.push_back("> " + text);
            } else if (id <= 0) {
                out.push_back("-");
            } else {
                const auto u = static_cast<uint32_t>(id);
                out.push_back(std::string(W::isMenuItemChecked(menu, u) ? "[x] " : "") +
                              (W::isMenuItemEnabled(menu, u) ? "" : "(off) ") + text);
            }
        }
        return out;
    }
    int32_t positionOf(W::MenuHandle menu, const std::string& text) {
        for (int32_t i = 0; i < W::getMenuItemCount(menu); ++i) {
            std::string at;
            (void)W::getMenuStringAt(menu, i, at);
            if (at.substr(0, at.find('\t')) == text) return i;
        }
        ADD_FAILURE() << "no entry " << text;
        return -1;
    }
    void choose(W::MenuHandle menu, const std::string& text) {
        const int32_t id = W::getMenuItemId(menu, positionOf(menu, text));
        ASSERT_GT(id, 0);
        ASSERT_TRUE(service->runCommand(id));
        service->refresh();
    }
    // The default keys registered under the name, in registration order.
    std::vector<int32_t> keys(const std::string& name) {
        std::vector<int32_t> out;
        for (const auto& entry : shortcuts->get()->entries)
            if (entry.name == System::utf8ToWide(name)) out.push_back(entry.defaultCode);
        return out;
    }

    std::optional<System::ServiceHolder<Window::ShortcutList>> shortcuts;
    std::optional<Menu::DisplayMenu> display;
};

TEST_F(DisplayMenuTest, PanelsInCreationOrderThenZoomsSwitchesAndPlay) {
    addDefaultPanels();
    int32_t switches[3] = {0, 1, 0};
    auto previous = Edit::EditCommand::setViewSwitches(
        {[&](Edit::EditCommand::ViewSwitch which) { return switches[static_cast<int>(which)]; },
         [&](Edit::EditCommand::ViewSwitch which, int32_t value) { switches[static_cast<int>(which)] = value; }});
    build("0,-5,abc,100");
    EXPECT_EQ(entries(popup()), (std::vector<std::string>{
                                    "[x] scene.list", "[x] object.list", "[x] setting", "setting.color",
                                    "[x] preview", "[x] edit", "setting.time", "setting.text", "log",
                                    "> メディアエクスプローラー", "-", "> プレビュー編集の拡大表示",
                                    "> レイヤー編集の拡大表示", "-", "グリッド(BPM)の表示",
                                    "グリッド(カメラ制御)の表示", "[x] 編集視点(カメラ制御)表示",
                                    "クリッピングオブジェクトの視覚化", "-", "プレビュー再生・停止"}));
    const W::MenuHandle explorers = W::getSubMenu(popup(), 9);
    EXPECT_EQ(entries(explorers), (std::vector<std::string>{"[x] explorer:1", "explorer:2"}));
    // Without a preview zoom to set, the presets are grayed.
    EXPECT_EQ(entries(W::getSubMenu(popup(), 11)),
              (std::vector<std::string>{"(off) WindowSize", "(off) 100%", "-", "ズームイン", "ズームアウト"}));
    EXPECT_EQ(entries(W::getSubMenu(popup(), 12)), (std::vector<std::string>{"ズームイン", "ズームアウト"}));

    // Every entry is a shortcut named after the top popup, submenu entries too.
    const std::pair<const char*, std::vector<int32_t>> rows[] = {
        {"表示:edit", {0}},
        {"表示:log", {0}},
        {"表示:explorer:2", {0}},
        {"表示:WindowSize", {0}},
        {"表示:100%", {0}},
        {"表示:ズームイン", {0x6B, 0xDE}},
        {"表示:ズームアウト", {0x6D, 0xDC}},
        {"表示:グリッド(BPM)の表示", {0}},
        {"表示:クリッピングオブジェクトの視覚化", {0}},
        {"表示:プレビュー再生・停止", {0x20}},
    };
    for (const auto& [name, codes] : rows) EXPECT_EQ(keys(name), codes) << name;
    Edit::EditCommand::setViewSwitches(std::move(previous));
}

TEST_F(DisplayMenuTest, PanelEntriesShowAndHideTheirPanels) {
    addDefaultPanels();
    build();
    service->updateLayout();
    StandInPanel& log = panel("log");
    StandInPanel& edit = panel("edit");
    ASSERT_FALSE(log.shown());
    choose(popup(), "log");
    EXPECT_TRUE(log.shown());
    EXPECT_GT(log.clientRect.w, 0);
    EXPECT_GT(log.clientRect.h, 0);
    EXPECT_EQ(entries(popup())[8], "[x] log");

    choose(popup(), "edit");
    EXPECT_FALSE(edit.shown());
    EXPECT_EQ(entries(popup())[5], "edit");
    choose(popup(), "edit");
    EXPECT_TRUE(edit.shown());
    EXPECT_EQ(entries(popup())[5], "[x] edit");
    EXPECT_GT(edit.clientRect.w, 0);
    EXPECT_GT(edit.clientRect.h, 0);

    const W::MenuHandle explorers = W::getSubMenu(popup(), positionOf(popup(), "メディアエクスプローラー"));
    choose(explorers, "explorer:2");
    EXPECT_TRUE(panel("explorer:2").shown());
    choose(explorers, "explorer:1");
    EXPECT_FALSE(panel("explorer:1").shown());
    EXPECT_EQ(entries(explorers), (std::vector<std::string>{"explorer:1", "[x] explorer:2"}));
}

TEST_F(DisplayMenuTest, HidingTheLastShownPanelLeavesTheEmptyWindowAndShowingItAgainMakesRoom) {
    StandInPanel& only = add("edit", {0.2f, 0.7f, 0.5f, 1, 3, true});
    build();
    service->updateLayout();
    choose(popup(), "edit");
    EXPECT_FALSE(only.shown());
    EXPECT_EQ(entries(popup())[0], "edit");
    choose(popup(), "edit");
    EXPECT_TRUE(only.shown());
    EXPECT_GT(only.clientRect.w, 0);
    EXPECT_GT(only.clientRect.h, 0);
}

TEST_F(DisplayMenuTest, WithoutExplorersThereIsNoExplorerSubmenu) {
    add("preview", {0.2f, 0, 0.8f, 0.7f, 2, true});
    add("log", {0, 0.7f, 1, 1, 4, false});
    build();
    const std::vector<std::string> got = entries(popup());
    ASSERT_GE(got.size(), 3u);
    EXPECT_EQ((std::vector<std::string>(got.begin(), got.begin() + 3)),
              (std::vector<std::string>{"[x] preview", "log", "-"}));
}

TEST_F(DisplayMenuTest, ZoomPresetsSkipWhatIsNotAZoomAndAnEmptyListLeavesTheTwoZoomEntries) {
    const struct {
        const char* text;
        std::vector<int32_t> presets;
    } rows[] = {
        {"0,-5,abc,100", {0, 100}},
        {"", {}},
        {" 50 , 200,", {50, 200}},
        {"12x,,7", {7}},
        {"99999999999", {}},
    };
    for (const auto& row : rows) EXPECT_EQ(Menu::DisplayMenu::previewZoomPresets(row.text), row.presets) << row.text;
    EXPECT_EQ(Menu::DisplayMenu::previewZoomText(0), L"WindowSize");
    EXPECT_EQ(Menu::DisplayMenu::previewZoomText(50), L"50%");

    build("");
    const W::MenuHandle zoom = W::getSubMenu(popup(), positionOf(popup(), "プレビュー編集の拡大表示"));
    EXPECT_EQ(entries(zoom), (std::vector<std::string>{"-", "ズームイン", "ズームアウト"}));
}

TEST_F(DisplayMenuTest, ChosenPresetReachesThePreview) {
    std::vector<int32_t> set;
    Menu::DisplayMenu::setViews({{}, {}, {}, [&](int32_t zoom) { set.push_back(zoom); }});
    build("100,0");
    const W::MenuHandle zoom = W::getSubMenu(popup(), positionOf(popup(), "プレビュー編集の拡大表示"));
    EXPECT_EQ(entries(zoom), (std::vector<std::string>{"100%", "WindowSize", "-", "ズームイン", "ズームアウト"}));
    choose(zoom, "WindowSize");
    choose(zoom, "100%");
    EXPECT_EQ(set, (std::vector<int32_t>{0, 100}));
    // The timeline and player entries do nothing without their views.
    choose(W::getSubMenu(popup(), positionOf(popup(), "レイヤー編集の拡大表示")), "ズームイン");
    choose(popup(), "グリッド(BPM)の表示");
    choose(popup(), "プレビュー再生・停止");
}

// The timeline entries over the edit service's current scene.
class DisplayMenuTimeline : public MenuTest::MenuFixture {
protected:
    void TearDown() override {
        Menu::DisplayMenu::setViews({});
        MenuFixture::TearDown();
    }
    W::MenuHandle display() { return popup(WindowMenu::Display); }
    // The popup's entry by its text; in a submenu when one is given.
    int32_t at(W::MenuHandle menu, const std::string& text) {
        for (int32_t i = 0; i < W::getMenuItemCount(menu); ++i)
            if (MenuTest::textAt(menu, i) == text) return i;
        ADD_FAILURE() << "no entry " << text;
        return 0;
    }
};

TEST_F(DisplayMenuTimeline, ZoomStepsAlongTheTableAroundTheCursorAndStopsAtItsEnds) {
    std::vector<int32_t> frames;
    auto scene = service().currentScene();
    ASSERT_NE(scene, nullptr);
    scene->cursorFrame = 40;
    Menu::DisplayMenu::setViews({{}, {}, [&](Edit::FrameZoom zoom, int32_t frame) {
                                     frames.push_back(frame);
                                     scene->displayZoom = zoom;
                                 }, {}});
    const W::MenuHandle zoom = W::getSubMenu(display(), at(display(), "レイヤー編集の拡大表示"));
    const struct {
        int32_t before;
        const char* entry;
        int32_t after;
    } rows[] = {
        {10000, "ズームイン", 15000}, {10000, "ズームアウト", 7500}, {100000, "ズームイン", 100000},
        {20, "ズームアウト", 20},     {12345, "ズームイン", 20},     {12345, "ズームアウト", 20},
    };
    for (const auto& row : rows) {
        scene->displayZoom.value = row.before;
        choose(zoom, at(zoom, row.entry));
        EXPECT_EQ(scene->displayZoom.value, row.after) << row.before << " " << row.entry;
    }
    EXPECT_EQ(frames, std::vector<int32_t>(std::size(rows), 40)) << "always around the cursor";
}

TEST_F(DisplayMenuTimeline, BpmGridEntryFollowsAndTogglesTheTimelinesGrid) {
    bool grid = false;
    int32_t toggles = 0;
    Menu::DisplayMenu::setViews({[&] { return grid; },
                                 [&] {
                                     grid = !grid;
                                     ++toggles;
                                 },
                                 {},
                                 {}});
    const int32_t entry = at(display(), "グリッド(BPM)の表示");
    const auto checked = [&] {
        bar->refresh();
        return W::isMenuItemChecked(display(), static_cast<uint32_t>(W::getMenuItemId(display(), entry)));
    };
    EXPECT_FALSE(checked());
    choose(display(), entry);
    EXPECT_TRUE(checked());
    choose(display(), entry);
    EXPECT_FALSE(checked());
    EXPECT_EQ(toggles, 2);
    EXPECT_FALSE(undoService->get()->canUndo()) << "no undo record";
}

}  // namespace
