// The menu model through the window layer: ids, the bar, the refresh before a
// popup opens, item lists, key names in item texts and the language rebuild.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ServiceHolder.h"
#include "core/TranslateService.h"
#include "platform/window/Menu.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/TopLevel.h"
#include "support/TestFolders.h"
#include "ui/framework/MenuText.h"
#include "ui/framework/PopupMenu.h"
#include "ui/framework/ShortcutList.h"
#include "ui/framework/WindowMenuManager.h"

namespace {

namespace W = Platform::window;
using Window::BaseMenu;
using Window::MenuText;
using Window::PopupMenu;
using Window::WindowMenu;
using Window::WindowMenuManager;

std::string textOf(W::MenuHandle menu, int32_t position) {
    std::string text;
    EXPECT_TRUE(W::getMenuStringAt(menu, position, text));
    return text;
}

TEST(Menu, IdsCountFromTheBaseAndEachPopupIsItsOwnRoot) {
    WindowMenuManager bar;
    std::vector<int> ran;
    auto first = bar.windowMenu[WindowMenu::File].menu->insertItem(L"開く", [&] { ran.push_back(1); });
    bar.windowMenu[WindowMenu::File].menu->insertSeparator();
    auto second = bar.windowMenu[WindowMenu::Edit].menu->insertItem(L"元に戻す", [&] { ran.push_back(2); });
    EXPECT_EQ(first.id, 40000);
    EXPECT_EQ(second.id, 40001);
    EXPECT_EQ(second.parentLabel, L"編集");
    EXPECT_EQ(W::getMenuItemCount(bar.windowMenu[WindowMenu::File].menu->menu), 2);

    PopupMenu popup;
    auto local = popup.insertItem(L"削除", [&] { ran.push_back(3); });
    EXPECT_EQ(local.id, 40000);

    EXPECT_TRUE(bar.runCommand(40001));
    EXPECT_TRUE(popup.runCommand(40000));
    EXPECT_FALSE(bar.runCommand(40002));  // unknown ids run nothing
    EXPECT_EQ(ran, (std::vector<int>{2, 3}));
}

TEST(Menu, TheBarHoldsTheFiveTopMenusInOrder) {
    WindowMenuManager bar;
    const char* labels[] = {"ファイル", "編集", "表示", "設定", "その他"};
    ASSERT_EQ(W::getMenuItemCount(bar.menu), 5);
    for (int32_t i = 0; i < 5; ++i) {
        EXPECT_EQ(textOf(bar.menu, i), labels[i]);
        EXPECT_EQ(BaseMenu::getSubMenuPosition(bar.menu, bar.windowMenu[i].menu->menu), i);
    }
    PopupMenu stranger;
    EXPECT_EQ(BaseMenu::getSubMenuPosition(bar.menu, stranger.menu), -1);
}

TEST(Menu, ItemTextsKeepOrLoseTheirKeyPart) {
    struct Case {
        const char* before;
        bool viaKeyName;  // else through a text change
        const wchar_t* value;
        const char* after;
    } cases[] = {
        {"Save", true, L"Ctrl+S", "Save\tCtrl+S"},
        {"Save\tCtrl+S", true, L"F2", "Save\tF2"},
        {"Save\tCtrl+S", true, L"", "Save"},
        {"Save\tCtrl+S", false, L"Save as", "Save as\tCtrl+S"},
        {"Save", false, L"Store", "Store"},
        {"A\tB\tC", false, L"X", "X\tB\tC"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before);
        PopupMenu popup;
        ASSERT_TRUE(W::appendMenuString(popup.menu, 40000, c.before));
        if (c.viaKeyName)
            MenuText::setShortcutText(popup.menu, 40000, c.value);
        else
            MenuText::setItemText(popup.menu, 40000, c.value);
        EXPECT_EQ(textOf(popup.menu, 0), c.after);
    }
}

TEST(Menu, RefreshSetsEnablesChecksTextsAndNumberedLists) {
    WindowMenuManager bar;
    BaseMenu& file = *bar.windowMenu[WindowMenu::File].menu;
    bool canSave = false, showGrid = true;
    std::wstring zoom = L"100%";
    auto save = file.insertItem(L"保存", [] {});
    auto grid = file.insertItem(L"グリッド", [] {});
    auto zoomItem = file.insertItem(L"倍率", [] {});
    grid.setRadioCheck();
    MenuText::setShortcutText(file.menu, zoomItem.id, L"F3");
    bar.setEnable(save, [&] { return canSave; });
    bar.setCheck(grid, [&] { return showGrid; });
    bar.setText(zoomItem, [&] { return zoom; });

    BaseMenu recent(file, L"最近のファイル");
    std::vector<std::wstring> files = {L"a.vpj", L"b.vpj"};
    std::vector<int32_t> opened;
    auto& list = bar.insertItemList(recent, 4, [&](int32_t i) { opened.push_back(i); }, [&] { return files; });
    EXPECT_EQ(list.firstId, 40003);

    bar.refresh();
    EXPECT_FALSE(W::isMenuItemEnabled(bar.menu, save.id));
    EXPECT_TRUE(W::isMenuItemChecked(bar.menu, grid.id));
    EXPECT_TRUE(W::isMenuItemRadio(bar.menu, grid.id));
    EXPECT_EQ(MenuText::getItemText(bar.menu, zoomItem.id), L"100%\tF3");
    ASSERT_EQ(W::getMenuItemCount(recent.menu), 2);
    EXPECT_EQ(textOf(recent.menu, 0), "&1 a.vpj");
    EXPECT_EQ(textOf(recent.menu, 1), "&2 b.vpj");
    EXPECT_EQ(W::getMenuItemId(recent.menu, 1), 40004);

    canSave = true;
    showGrid = false;
    zoom = L"200%";
    files = {L"c.vpj", L"d.vpj", L"e.vpj", L"f.vpj", L"g.vpj"};  // more than the list holds
    bar.refresh();
    EXPECT_TRUE(W::isMenuItemEnabled(bar.menu, save.id));
    EXPECT_FALSE(W::isMenuItemChecked(bar.menu, grid.id));
    EXPECT_EQ(MenuText::getItemText(bar.menu, zoomItem.id), L"200%\tF3");
    EXPECT_EQ(W::getMenuItemCount(recent.menu), 4);

    EXPECT_TRUE(bar.runCommand(40004));
    EXPECT_EQ(opened, std::vector<int32_t>{1});
}

// A window whose procedure answers the menu messages as the main window does.
WindowMenuManager* g_bar = nullptr;
intptr_t menuWindowProc(W::WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (message == 0x0117) {
        g_bar->refresh();
        return 0;
    }
    if (message == W::kWmCommand && lParam == 0) {
        g_bar->runCommand(static_cast<int32_t>(wParam & 0xFFFF));
        return 0;
    }
    return W::defWindowProc(window, message, wParam, lParam);
}

void pumpPosted(W::WindowHandle window) {
    W::Message message;
    while (W::peekMessage(message, window, 0, 0, W::kPmRemove))
        W::dispatchMessage(message);
}

TEST(Menu, OpeningABarPopupRefreshesItAndAChosenItemRunsThroughTheWindow) {
    WindowMenuManager bar;
    g_bar = &bar;
    W::WindowDesc desc;
    desc.procedure = &menuWindowProc;
    W::WindowHandle window = W::createWindow(desc);
    ASSERT_NE(window, nullptr);
    bar.setWindowMenu(window);
    EXPECT_EQ(W::getWindowMenu(window), bar.menu);

    bool enabled = false;
    int runs = 0;
    auto item = bar.windowMenu[WindowMenu::Edit].menu->insertItem(L"貼り付け", [&] { ++runs; });
    bar.setEnable(item, [&] { return enabled; });

    EXPECT_EQ(W::openWindowMenuPopup(window, WindowMenu::Edit, static_cast<uint32_t>(item.id)), 0u);
    pumpPosted(window);
    EXPECT_EQ(runs, 0);  // greyed when the popup opened

    enabled = true;
    EXPECT_EQ(W::openWindowMenuPopup(window, WindowMenu::Edit, static_cast<uint32_t>(item.id)),
              static_cast<uint32_t>(item.id));
    pumpPosted(window);
    EXPECT_EQ(runs, 1);

    W::destroyWindow(window);
    g_bar = nullptr;
}

TEST(Menu, APopupRunsTheChosenCommandAfterClosing) {
    PopupMenu popup;
    std::vector<std::string> steps;
    popup.insertItem(L"一", [&] { steps.push_back("one"); });
    popup.insertItem(L"二", [&] { steps.push_back(PopupMenu::inMenuCommand ? "two in menu" : "two"); });
    W::setMenuAnswerHook([](W::MenuHandle, const W::Point&) { return 40001u; });
    int32_t chosen = popup.show([&] { steps.push_back("closed"); });
    W::setMenuAnswerHook({});
    EXPECT_EQ(chosen, 40001);
    EXPECT_EQ(steps, (std::vector<std::string>{"closed", "two in menu"}));
    EXPECT_FALSE(PopupMenu::inMenuCommand);

    steps.clear();
    EXPECT_EQ(popup.show(), 0);  // no answer: nothing chosen
    EXPECT_TRUE(steps.empty());
}

class MenuShortcuts : public TestFolders {};

TEST_F(MenuShortcuts, AFrozenListRegistersEachEntryAsAKeylessCommand) {
    System::ServiceHolder<Window::ShortcutList> shortcuts;
    WindowMenuManager bar;
    BaseMenu& file = *bar.windowMenu[WindowMenu::File].menu;
    BaseMenu formats(file, L"出力");
    std::vector<std::wstring> names = {L"AVI", L"WAV"};
    std::vector<int32_t> exported;
    auto& list = bar.insertItemList(formats, 3, [&](int32_t i) { exported.push_back(i); }, [&] { return names; });
    bar.registerShortcuts(list, formats);

    const auto& entries = Window::ShortcutList::get()->entries;
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].name, L"出力:WAV");
    EXPECT_EQ(entries[1].code, 0);
    EXPECT_EQ(entries[1].menuId, list.firstId + 1);
    EXPECT_EQ(textOf(formats.menu, 0), "AVI");  // not numbered

    names = {L"MP4"};
    bar.refresh();  // frozen: the registered items stay
    EXPECT_EQ(W::getMenuItemCount(formats.menu), 2);
    EXPECT_TRUE(bar.runCommand(entries[1].menuId));
    EXPECT_EQ(exported, std::vector<int32_t>{1});
}

class MenuLanguage : public TestFolders {};

TEST_F(MenuLanguage, RebuildsReuseIdsAndKeysStayUnderTheUntranslatedNames) {
    std::filesystem::create_directories(appData() / "Language");
    writeFile(appData() / "Language" / "Test.vln2",
              "[Menu]\n\xe3\x83\x95\xe3\x82\xa1\xe3\x82\xa4\xe3\x83\xab=File\n\xe4\xbf\x9d\xe5\xad\x98=Save\n");
    writeFile(appData() / "keyboard.ini",
              "[shortcut.0]\r\nname=\xe3\x83\x95\xe3\x82\xa1\xe3\x82\xa4\xe3\x83\xab:\xe4\xbf\x9d\xe5\xad\x98\r\n"
              "code=16467\r\n");
    System::ServiceHolder<Window::ShortcutList> shortcuts;
    System::ServiceHolder<Translate::TranslateService> translate;
    auto* list = Window::ShortcutList::get();

    WindowMenuManager bar;
    constexpr int32_t kItems = 3000;  // enough that ten rebuilds without reuse pass 16 bits
    int32_t lastId = 0;
    int saves = 0;
    bar.addBuilder([&](WindowMenuManager& manager) {
        BaseMenu& file = *manager.windowMenu[WindowMenu::File].menu;
        auto save = file.insertItem(L"保存", [&] { ++saves; });
        WindowMenuManager::setShortcut(save, 0x4000 | 'S');
        for (int32_t i = 1; i < kItems; ++i)
            lastId = file.insertItem(L"項目", [] {}).id;
    });
    for (const wchar_t* language : {L"Test", L"", L"Test", L"", L"Test", L"", L"Test", L"", L"Test", L"Test"}) {
        Translate::TranslateService::get()->setLanguage(language);
        Translate::TranslateService::get()->loadLanguage();
        bar.rebuild();
    }
    EXPECT_LT(lastId, 0x10000);
    EXPECT_EQ(lastId, 40000 + kItems - 1);
    EXPECT_EQ(textOf(bar.menu, 0), "File");
    ASSERT_EQ(list->entries.size(), 1u);  // the old registrations went with the old items
    const auto& entry = list->entries[0];
    EXPECT_EQ(entry.name, L"ファイル:保存");
    EXPECT_EQ(entry.displayName, L"File:Save");
    EXPECT_EQ(entry.code, 0x4053);  // the user's key found under the untranslated name
    EXPECT_EQ(MenuText::getItemText(bar.windowMenu[WindowMenu::File].menu->menu, entry.menuId), L"Save\tCtrl+S");

    // Saving writes the untranslated name, so another language still finds it.
    list->entries[0].code = 0x4054;
    ASSERT_TRUE(list->save());
    list->load();
    EXPECT_EQ(list->userCodes.at(L"ファイル:保存"), 0x4054);
}

}  // namespace
