// The Setting and Etc popups of the menu bar: their entries, which of them
// can be given a key, and what each one opens (answered by the dialogs'
// scripted-answer hook and the message boxes' hook).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/ScriptedDialogs.h"
#include "ui/menus/MenuFixture.h"
#include "ui/menus/SettingMenu.h"

namespace MenuTest {
namespace {

class SettingEtcMenus : public MenuFixture {
protected:
    void SetUp() override {
        MenuFixture::SetUp();
        previous = Menu::SettingMenu::setOpeners({
            [this](const wchar_t* caption) { slots.push_back("backup " + System::wideToUtf8(caption)); },
            [this](const wchar_t* caption) { slots.push_back("params " + System::wideToUtf8(caption)); },
            [this](const wchar_t* caption) { slots.push_back("colour " + System::wideToUtf8(caption)); },
            [this](const wchar_t* caption) { slots.push_back("font " + System::wideToUtf8(caption)); },
        });
    }
    void TearDown() override {
        Menu::SettingMenu::setOpeners(previous);
        MenuFixture::TearDown();
    }
    Menu::SettingMenu::Openers previous;
    std::vector<std::string> slots;
};

TEST_F(SettingEtcMenus, TheSettingEntriesOpenTheirDialogsUnderTheirLabels) {
    struct Row {
        const char* text;
        const char* opens;  // the dialog caption shown, or what the installed opener was given
    } rows[] = {
        {"ショートカットキーの設定", "dialog ショートカットキーの設定"},
        {"オブジェクト追加メニューの設定", "dialog オブジェクト追加メニューの設定"},
        {"トラックバー移動メニューの設定", "dialog トラックバー移動メニューの設定"},
        {"時間制御メニューの設定", "params 時間制御メニューの設定"},
        {"プリセット色メニューの設定", "colour プリセット色メニューの設定"},
        {"フォントメニューの設定", "font フォントメニューの設定"},
        {"入力プラグインの設定", ""},  // no input service here
        {"バックアップ履歴の設定", "backup バックアップ履歴の設定"},
        {"キャッシュサイズの設定", "dialog キャッシュサイズの設定"},
        {"画面・色の設定", "dialog 画面・色の設定"},
        {"ログの設定", "dialog ログの設定"},
        {"言語の設定", ""},  // no translation service here: the dialog has nothing to offer
    };
    const W::MenuHandle settings = popup(WindowMenu::Settings);
    ASSERT_EQ(W::getMenuItemCount(settings), int32_t(std::size(rows)));
    ScriptedDialogs dialogs;
    for (int32_t i = 0; i < int32_t(std::size(rows)); ++i) {
        const Row& row = rows[i];
        SCOPED_TRACE(row.text);
        EXPECT_EQ(textAt(settings, i), row.text);
        const Window::Shortcut* shortcut = registered(std::string("設定:") + row.text);
        ASSERT_NE(shortcut, nullptr);
        EXPECT_EQ(shortcut->defaultCode, 0);
        dialogs.shown.clear();
        slots.clear();
        choose(settings, i);
        std::string opened = !dialogs.shown.empty() ? "dialog " + dialogs.shown.back().caption
                             : !slots.empty()       ? slots.back()
                                                    : "";
        EXPECT_EQ(opened, row.opens);
    }
}

TEST_F(SettingEtcMenus, TheEtcEntriesShowTablesAndTheVersionAndTakeNoKey) {
    const W::MenuHandle etc = popup(WindowMenu::Other);
    ASSERT_EQ(W::getMenuItemCount(etc), 4);
    const char* texts[] = {"プラグイン情報", "スクリプト情報", "", "バージョン情報"};
    for (int32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(textAt(etc, i), texts[i]);
        EXPECT_EQ(registered(std::string("その他:") + texts[i]), nullptr);
    }
    ScriptedDialogs dialogs;
    std::vector<std::vector<std::string>> tables;
    for (int i = 0; i < 2; ++i)
        dialogs.answers.push_back([&](W::DialogWindow& d) {
            std::vector<std::string> lines;
            for (int32_t id : d.controlIds())
                if (d.control(id)->kind == W::DialogControlKind::ListView)
                    for (const auto& line : d.listLines(id)) lines.push_back(line.cells.at(0) + "|" + line.cells.at(1));
            tables.push_back(lines);
        });
    choose(etc, 0);
    choose(etc, 1);
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[0].caption, "プラグイン情報");
    EXPECT_EQ(dialogs.shown[1].caption, "スクリプト情報");
    // The output service's built-in writers describe themselves; no input service here.
    for (const std::string& line : tables.at(0)) EXPECT_EQ(line.substr(line.find('|')), "|出力プラグイン") << line;
    EXPECT_TRUE(tables.at(1).empty());

    boxes.texts.clear();
    choose(etc, 3);
    EXPECT_EQ(boxes.texts, (std::vector<std::string>{"Velmo Kirta2  version 2.0beta4"}));
}

}  // namespace
}  // namespace MenuTest
