// The list view item and the dialogs standing on it, answered through the
// dialogs' scripted-answer hook: what a user does with the mouse over the
// list, the keys pressed into the key field and the context menu's entries
// go in; the rows the dialogs store come out.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "core/ServiceHolder.h"
#include "core/TextConvert.h"
#include "platform/window/KeyMap.h"
#include "platform/window/Menu.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFolders.h"
#include "ui/dialogs/DialogItemListView.h"
#include "ui/dialogs/DialogItemText.h"
#include "ui/dialogs/ListViewDialog.h"
#include "ui/dialogs/ShortcutKeyDialog.h"
#include "ui/framework/MenuText.h"
#include "ui/framework/Shortcut.h"
#include "ui/framework/ShortcutList.h"
#include "ui/framework/ToolTips.h"

namespace {

namespace W = Platform::window;
using E = W::DialogListEvent;
constexpr int32_t kOk = Dialog::DialogTemplate::kOkButtonId;

// The one list view of a dialog.
int32_t listOf(const W::DialogWindow& d) {
    for (int32_t id : d.controlIds())
        if (d.control(id)->kind == W::DialogControlKind::ListView) return id;
    return 0;
}

// The texts of the list's lines, cells joined by "|", a ticked line marked "+".
std::vector<std::string> linesOf(const W::DialogWindow& d) {
    std::vector<std::string> out;
    for (const auto& line : d.listLines(listOf(d))) {
        std::string text = line.checked ? "+" : "";
        for (size_t i = 0; i < line.cells.size(); ++i) text += (i ? "|" : "") + line.cells[i];
        out.push_back(text);
    }
    return out;
}

void mouse(W::DialogWindow& d, E::Kind kind, int32_t line, int32_t column, bool onCheck = false, int32_t outside = 0) {
    E e;
    e.kind = kind;
    e.line = line;
    e.column = column;
    e.onCheck = onCheck;
    e.outside = outside;
    d.listMouse(listOf(d), e);
}

void click(W::DialogWindow& d, int32_t line, int32_t column, bool onCheck = false) {
    mouse(d, E::LeftDown, line, column, onCheck);
    mouse(d, E::LeftUp, line, column, onCheck);
}

// The shown control that is not the list, a label or a button: a cell's editor.
int32_t shownEditor(const W::DialogWindow& d) {
    for (int32_t id : d.controlIds()) {
        const auto* c = d.control(id);
        if ((c->kind == W::DialogControlKind::Edit || c->kind == W::DialogControlKind::EditCombo) && !c->hidden)
            return id;
    }
    return 0;
}

// Answers the next context menu with the entry of that label (none: 0), keeping what it offered.
struct ContextMenus {
    std::string pick;
    std::vector<std::string> offered;
    ContextMenus() {
        W::setMenuAnswerHook([this](W::MenuHandle menu, const W::Point&) {
            offered.clear();
            uint32_t chosen = 0;
            for (int32_t i = 0; i < W::getMenuItemCount(menu); ++i) {
                std::string label;
                W::getMenuStringAt(menu, i, label);
                const uint32_t id = static_cast<uint32_t>(W::getMenuItemId(menu, i));
                offered.push_back(id != 0 && !W::isMenuItemEnabled(menu, id) ? label + " (off)" : label);
                if (!pick.empty() && label == pick) chosen = static_cast<uint32_t>(W::getMenuItemId(menu, i));
            }
            return chosen;
        });
    }
    ~ContextMenus() { W::setMenuAnswerHook(nullptr); }
    void choose(W::DialogWindow& d, int32_t line, const std::string& label) {
        pick = label;
        mouse(d, E::RightDown, line, 0);
        mouse(d, E::RightUp, line, 0);
    }
};

// A row with a name, a number text edited by a required text field, and a check.
struct Row : Dialog::DialogItemListViewBase::Item {
    Row(std::wstring name, std::wstring value, bool checked) : name(std::move(name)), value(std::move(value)), checked(checked) {}
    std::wstring getText(int32_t column) const override { return column == 0 ? name : column == 1 ? value : L""; }
    void fillEditor(int32_t, Dialog::DialogItem& editor) override {
        static_cast<Dialog::DialogItemText&>(editor).text = value;
    }
    void readEditor(int32_t, Dialog::DialogItem& editor) override {
        value = static_cast<Dialog::DialogItemText&>(editor).text;
    }
    void setCheck(bool check) override { checked = check; }
    bool getCheck() const override { return checked; }
    std::wstring name, value;
    bool checked;
};

class ListViews : public TestFolders {
protected:
    void TearDown() override {
        Window::ToolTips::hide();
        TestFolders::TearDown();
    }
    // A dialog of rows a..e (values 1..5, b and d ticked) with check boxes, an editor and dragging.
    struct RowDialog : Dialog::DialogTemplate {
        Dialog::DialogItemListView<Row>* list = nullptr;
        RowDialog() : DialogTemplate(L"rows") {
            list = append(std::make_unique<Dialog::DialogItemListView<Row>>(300, true));
            list->checkBoxes = true;
            list->appendColumn(L"名前", 200);
            list->appendColumn(L"値", 100, std::make_unique<Dialog::DialogItemText>(L"", L"", true));
            const wchar_t* names[] = {L"a", L"b", L"c", L"d", L"e"};
            for (int i = 0; i < 5; ++i)
                list->appendItem(std::make_unique<Row>(names[i], std::to_wstring(i + 1), i == 1 || i == 3));
        }
    };
    static std::string order(const std::vector<Row*>& rows) {
        std::string out;
        for (const Row* row : rows) out += System::wideToUtf8(row->name) + System::wideToUtf8(row->value) + (row->checked ? "+" : "") + " ";
        return out;
    }
    ScriptedDialogs dialogs;
};

TEST_F(ListViews, MouseActionsChangeTheRowsAndTheFinalOrderOutlivesTheDialog) {
    struct Case {
        const char* name;
        std::function<void(W::DialogWindow&)> act;
        bool ok;
        const char* rows;  // display order after the dialog
    } cases[] = {
        {"nothing", [](W::DialogWindow&) {}, true, "a1 b2+ c3 d4+ e5 "},
        {"a click on a box ticks it, another unticks", [](W::DialogWindow& d) {
             click(d, 0, 0, true);
             click(d, 1, 0, true);
         }, true, "a1+ b2 c3 d4+ e5 "},
        {"a click beside the box does not tick", [](W::DialogWindow& d) { click(d, 2, 0, false); }, true,
         "a1 b2+ c3 d4+ e5 "},
        {"dragging a to the fourth line", [](W::DialogWindow& d) {
             mouse(d, E::LeftDown, 0, 0);
             mouse(d, E::Move, 1, 0);
             mouse(d, E::Move, 3, 0);
             mouse(d, E::Move, -1, -1, false, 1);  // below the lines: a stays where it last moved
             mouse(d, E::LeftUp, -1, -1);
             mouse(d, E::Move, 0, 0);  // no button: only the hover selection
         }, true, "b2+ c3 d4+ a1 e5 "},
        {"an edited cell commits when another cell is clicked", [](W::DialogWindow& d) {
             click(d, 2, 1);
             const int32_t editor = shownEditor(d);
             ASSERT_NE(editor, 0);
             EXPECT_EQ(d.text(editor), "3");
             d.setText(editor, "30");
             click(d, 2, 1);  // the same cell keeps editing
             EXPECT_EQ(shownEditor(d), editor);
             click(d, 4, 0);
             EXPECT_EQ(shownEditor(d), 0);
         }, true, "a1 b2+ c30 d4+ e5 "},
        {"a refused value keeps the editor and OK", [](W::DialogWindow& d) {
             click(d, 1, 1);
             d.setText(shownEditor(d), "");
             click(d, 3, 0, true);
             EXPECT_NE(shownEditor(d), 0);
             d.press(kOk);
             EXPECT_FALSE(d.ended());
             EXPECT_EQ(System::wideToUtf8(Window::ToolTips::text), "必須項目です");
             d.setText(shownEditor(d), "9");
             d.press(kOk);
         }, true, "a1 b9+ c3 d4+ e5 "},
        {"Enter in the editor commits the cell and leaves the dialog open", [](W::DialogWindow& d) {
             click(d, 0, 1);
             d.setText(shownEditor(d), "7");
             d.press(W::kDialogIdOk);
             EXPECT_FALSE(d.ended());
             EXPECT_EQ(linesOf(d)[0], "a|7");
         }, true, "a7 b2+ c3 d4+ e5 "},
        {"cancel still leaves the order shown", [](W::DialogWindow& d) {
             mouse(d, E::LeftDown, 4, 0);
             mouse(d, E::Move, 0, 0);
             d.press(W::kDialogIdCancel);
         }, false, "e5 a1 b2+ c3 d4+ "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RowDialog dialog;
        dialogs.answers.push_back([&](W::DialogWindow& d) {
            EXPECT_EQ(linesOf(d), (std::vector<std::string>{"a|1", "+b|2", "c|3", "+d|4", "e|5"}));
            c.act(d);
            if (!d.ended()) d.press(kOk);
        });
        EXPECT_EQ(dialog.create(), c.ok);
        EXPECT_EQ(order(dialog.list->getItemViewList()), c.rows);
        EXPECT_EQ(order(dialog.list->getItemList()).size(), std::string(c.rows).size());
    }
}

TEST_F(ListViews, HeaderClicksSortUpThenDownWithNumbersByValue) {
    Dialog::ListViewDialog dialog(L"表");
    dialog.columns = {{L"名前", 300}, {L"種別", 100}};
    dialog.rows = {{L"file10", L"b"}, {L"File9", L"a"}, {L"file1", L"c"}, {L"ｆｉｌｅ２", L"d"}};
    std::vector<std::vector<std::string>> seen;
    dialogs.answers.push_back([&](W::DialogWindow& d) {
        EXPECT_EQ(d.control(listOf(d))->height, 600);
        seen.push_back(linesOf(d));
        mouse(d, E::HeaderClick, -1, 0, false, -1);
        seen.push_back(linesOf(d));
        mouse(d, E::HeaderClick, -1, 0, false, -1);
        seen.push_back(linesOf(d));
        mouse(d, E::HeaderClick, -1, 1, false, -1);
        seen.push_back(linesOf(d));
        // A read-only table: no editor, no ticks, no menu.
        click(d, 0, 1, true);
        EXPECT_EQ(shownEditor(d), 0);
        d.press(kOk);
    });
    EXPECT_TRUE(dialog.open());
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0], (std::vector<std::string>{"file10|b", "File9|a", "file1|c", "ｆｉｌｅ２|d"}));
    EXPECT_EQ(seen[1], (std::vector<std::string>{"file1|c", "ｆｉｌｅ２|d", "File9|a", "file10|b"}));
    EXPECT_EQ(seen[2], (std::vector<std::string>{"file10|b", "File9|a", "ｆｉｌｅ２|d", "file1|c"}));
    EXPECT_EQ(seen[3], (std::vector<std::string>{"File9|a", "file10|b", "file1|c", "ｆｉｌｅ２|d"}));
    EXPECT_TRUE(dialog.rows.empty());
    const auto& shown = dialogs.shown.back();
    EXPECT_EQ(shown.caption, "表");
    EXPECT_GE(shown.size.x, 600);
    EXPECT_TRUE(shown.okButton);
}

TEST_F(ListViews, ARowOfAnotherClassIsRefused) {
    struct Other : Dialog::DialogItemListViewBase::Item {
        std::wstring getText(int32_t) const override { return L""; }
        void fillEditor(int32_t, Dialog::DialogItem&) override {}
        void readEditor(int32_t, Dialog::DialogItem&) override {}
    };
    Dialog::DialogItemListView<Row> list(100, false);
    list.appendItem(std::make_unique<Other>());
    try {
        (void)list.getItemList();
        FAIL() << "no exception";
    } catch (const std::exception& e) {
        EXPECT_NE(std::string(e.what()).find("invalid item class."), std::string::npos) << e.what();
    }
}

// The shortcut dialog over a shortcut list with three commands, one of them a menu item.
class ShortcutDialog : public ListViews {
protected:
    void SetUp() override {
        ListViews::SetUp();
        for (int32_t key = 'A'; key <= 'Z'; ++key) Window::Shortcut::setKeyName(key, std::wstring(1, wchar_t(key)));
        Window::Shortcut::setKeyName(W::kVkReturn, L"Enter");
        Window::Shortcut::setKeyName(W::kVkTab, L"Tab");
        Window::Shortcut::setKeyName(W::kVkDelete, L"Delete");
        shortcuts.emplace();
        menu = W::createPopupMenu();
        ASSERT_TRUE(W::appendMenuString(menu, 500, "切り取り"));
        list().add(L"編集:切り取り", kCtrl | 'X', nullptr, menu, 500);
        list().add(L"保存", kCtrl | 'S', [] {});
        list().add(L"分割", 'S' & 0, [] {});
    }
    void TearDown() override {
        shortcuts.reset();
        W::destroyMenu(menu);
        ListViews::TearDown();
    }
    Window::ShortcutList& list() { return *shortcuts->get(); }
    std::vector<int32_t> codes() {
        std::vector<int32_t> out;
        for (const auto& entry : list().entries) out.push_back(entry.code);
        return out;
    }
    std::string menuText() {
        std::string text;
        (void)W::getMenuString(menu, 500, text);
        return text;
    }
    std::string keyboardFile() {
        std::ifstream in(appData() / "keyboard.ini");
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static constexpr int32_t kCtrl = Window::Shortcut::CtrlFlag;
    static constexpr int32_t kShift = Window::Shortcut::ShiftFlag;
    static constexpr int32_t kAlt = Window::Shortcut::AltFlag;
    std::optional<System::ServiceHolder<Window::ShortcutList>> shortcuts;
    W::MenuHandle menu = nullptr;
};

TEST_F(ShortcutDialog, KeysPressedInTheFieldBecomeTheCodes) {
    using Key = W::DialogWindow::Key;
    struct Case {
        const char* name;
        std::vector<Key> keys;  // pressed into the third row's field
        const char* shown;      // the field after the keys
        int32_t code;
    } cases[] = {
        {"Ctrl+Shift+S", {{'S', true, true, false}}, "Ctrl+Shift+S", kCtrl | kShift | 'S'},
        {"Ctrl alone changes nothing, then Z", {{W::kVkControl, true, false, false}, {'Z', true, false, false}},
         "Ctrl+Z", kCtrl | 'Z'},
        {"Alt+D", {{'D', false, false, true}}, "Alt+D", kAlt | 'D'},
        {"Enter is a key", {{W::kVkReturn, false, false, false}}, "Enter", W::kVkReturn},
        {"Tab is a key", {{W::kVkTab, false, false, false}}, "Tab", W::kVkTab},
        {"Escape has no name and clears", {{W::kVkEscape, false, false, false}}, "", 0},
        {"a key without a name clears", {{'D', false, false, false}, {0xE8, true, false, false}}, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        list().entries[2].code = 'D';
        dialogs.answers.push_back([&](W::DialogWindow& d) {
            EXPECT_EQ(linesOf(d), (std::vector<std::string>{"編集:切り取り|Ctrl+X", "保存|Ctrl+S", "分割|D"}));
            click(d, 2, 1);
            const int32_t field = shownEditor(d);
            ASSERT_NE(field, 0);
            EXPECT_EQ(d.text(field), "");  // the cue shows
            EXPECT_EQ(d.control(field)->cue, "キーを入力してください");
            for (const Key& key : c.keys) d.pressKey(field, key);
            EXPECT_EQ(d.text(field), c.shown);
            EXPECT_FALSE(d.ended());
            d.press(kOk);
        });
        Dialog::ShortcutKeyDialog dialog;
        EXPECT_TRUE(dialog.open());
        EXPECT_EQ(dialogs.shown.back().caption, "ショートカットキーの設定");
        EXPECT_EQ(codes(), (std::vector<int32_t>{kCtrl | 'X', kCtrl | 'S', c.code}));
    }
}

TEST_F(ShortcutDialog, OkAppliesSavesAndRenamesTheMenuItem) {
    ContextMenus menus;
    dialogs.answers.push_back([&](W::DialogWindow& d) {
        click(d, 0, 1);
        d.pressKey(shownEditor(d), {'Q', true, false, false});
        click(d, 1, 0);  // commits
        EXPECT_EQ(linesOf(d)[0], "編集:切り取り|Ctrl+Q");
        d.press(kOk);
    });
    EXPECT_TRUE(Dialog::ShortcutKeyDialog().open());
    EXPECT_EQ(codes(), (std::vector<int32_t>{kCtrl | 'Q', kCtrl | 'S', 0}));
    EXPECT_EQ(menuText(), "切り取り\tCtrl+Q");
    EXPECT_NE(keyboardFile().find("name=編集:切り取り\r\ncode=" + std::to_string(kCtrl | 'Q')), std::string::npos)
        << keyboardFile();
    EXPECT_EQ(list().userCodes.at(L"編集:切り取り"), kCtrl | 'Q');

    // Restoring all and cancelling keeps every key; restoring all and OK puts the defaults back.
    for (bool ok : {false, true}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        list().entries[1].code = kAlt | 'S';
        dialogs.answers.push_back([&](W::DialogWindow& d) {
            menus.choose(d, 1, "全てのショートカットキーを標準に戻す");
            EXPECT_EQ(menus.offered, (std::vector<std::string>{"ショートカットキーを標準に戻す", "",
                                                               "全てのショートカットキーを標準に戻す"}));
            EXPECT_EQ(linesOf(d), (std::vector<std::string>{"編集:切り取り|Ctrl+X", "保存|Ctrl+S", "分割|"}));
            d.press(ok ? kOk : W::kDialogIdCancel);
        });
        EXPECT_EQ(Dialog::ShortcutKeyDialog().open(), ok);
        EXPECT_EQ(codes(), ok ? (std::vector<int32_t>{kCtrl | 'X', kCtrl | 'S', 0})
                              : (std::vector<int32_t>{kCtrl | 'Q', kAlt | 'S', 0}));
        EXPECT_EQ(menuText(), ok ? "切り取り\tCtrl+X" : "切り取り\tCtrl+Q");
    }
    EXPECT_EQ(keyboardFile(), "");

    // One row back to its default through the row's menu entry.
    list().entries[1].code = kAlt | 'S';
    dialogs.answers.push_back([&](W::DialogWindow& d) {
        menus.choose(d, 1, "ショートカットキーを標準に戻す");
        EXPECT_EQ(linesOf(d)[1], "保存|Ctrl+S");
        d.press(kOk);
    });
    EXPECT_TRUE(Dialog::ShortcutKeyDialog().open());
    EXPECT_EQ(codes(), (std::vector<int32_t>{kCtrl | 'X', kCtrl | 'S', 0}));
}

}  // namespace

#include "effect/MenuDefineBase.h"
#include "ui/dialogs/MenuDefineDialog.h"
#include "platform/window/GtkRuntime.h"

namespace {

struct Entry : Menu::MenuDefineBase {
    Entry(const std::wstring& name, int32_t order, const std::wstring& label)
        : MenuDefineBase("Test", name, order, label, true), name(name) {}
    std::wstring getName() const override { return name; }
    std::wstring name;
};

struct EntryDialog : Dialog::MenuDefineDialog<Entry> {
    explicit EntryDialog(std::vector<std::unique_ptr<Entry>>& entries) : MenuDefineDialog(L"メニューの設定"), entries(entries) {}
    void fillItems(List& list) override {
        for (auto& entry : entries) list.appendItem(std::make_unique<MenuDefineItem>(*entry));
    }
    std::vector<std::unique_ptr<Entry>>& entries;
};

class MenuDefines : public ListViews {
protected:
    void SetUp() override {
        ListViews::SetUp();
        ASSERT_TRUE(W::gtk::ensure());  // the context menu opens at the pointer
    }
    // r0..r4 labelled B, A, B, (none), A, ordered 10, 20, ...
    void fill() {
        const wchar_t* labels[] = {L"B", L"A", L"B", L"", L"A"};
        for (int i = 0; i < 5; ++i)
            entries.push_back(std::make_unique<Entry>(L"r" + std::to_wstring(i), 10 * (i + 1), labels[i]));
    }
    // The entries by order: name, label, "-" when hidden.
    std::string stored() {
        std::vector<const Entry*> sorted;
        for (const auto& e : entries) sorted.push_back(e.get());
        std::stable_sort(sorted.begin(), sorted.end(), [](const Entry* a, const Entry* b) { return a->order < b->order; });
        std::string out;
        for (const Entry* e : sorted)
            out += std::to_string(e->order) + System::wideToUtf8(e->name) + System::wideToUtf8(e->label) + (e->hide ? "-" : "") + " ";
        return out;
    }
    std::vector<std::unique_ptr<Entry>> entries;
    ContextMenus menus;
};

TEST_F(MenuDefines, ContextActionsTicksAndLabelsAreStoredOnOk) {
    struct Case {
        const char* name;
        std::function<void(W::DialogWindow&, ContextMenus&)> act;
        bool ok;
        const char* stored;
    } cases[] = {
        {"OK alone renumbers from 0", [](W::DialogWindow&, ContextMenus&) {}, true, "0r0B 1r1A 2r2B 3r3 4r4A "},
        {"gather into label groups", [](W::DialogWindow& d, ContextMenus& m) {
             m.choose(d, 2, "全ての項目をラベルのグループで纏める");
         }, true, "0r0B 1r2B 2r1A 3r4A 4r3 "},
        {"the same label to the top", [](W::DialogWindow& d, ContextMenus& m) {
             m.choose(d, 4, "同じラベルの項目を全て先頭に移動");
         }, true, "0r1A 1r4A 2r0B 3r2B 4r3 "},
        {"the empty label to the top", [](W::DialogWindow& d, ContextMenus& m) {
             m.choose(d, 3, "同じラベルの項目を全て先頭に移動");
         }, true, "0r3 1r0B 2r1A 3r2B 4r4A "},
        {"the same label to the bottom", [](W::DialogWindow& d, ContextMenus& m) {
             m.choose(d, 0, "同じラベルの項目を全て最後に移動");
         }, true, "0r1A 1r3 2r4A 3r0B 4r2B "},
        {"one row to the bottom, another to the top", [](W::DialogWindow& d, ContextMenus& m) {
             m.choose(d, 0, "最後に移動");
             m.choose(d, 2, "先頭に移動");
         }, true, "0r3 1r1A 2r2B 3r4A 4r0B "},
        {"a click beside the rows moves nothing", [](W::DialogWindow& d, ContextMenus& m) {
             m.choose(d, -1, "先頭に移動");
         }, true, "0r0B 1r1A 2r2B 3r3 4r4A "},
        {"hide all, show one", [](W::DialogWindow& d, ContextMenus& m) {
             m.choose(d, 0, "全ての項目の表示を無効にする");
             click(d, 1, 0, true);
         }, true, "0r0B- 1r1A 2r2B- 3r3- 4r4A- "},
        {"hide all, then cancel", [](W::DialogWindow& d, ContextMenus& m) {
             m.choose(d, 0, "全ての項目の表示を無効にする");
             d.press(W::kDialogIdCancel);
         }, false, "10r0B 20r1A 30r2B 40r3 50r4A "},
        {"a label typed, offered to the next row", [](W::DialogWindow& d, ContextMenus&) {
             click(d, 3, 1);
             const int32_t combo = shownEditor(d);
             EXPECT_EQ(d.choices(combo), (std::vector<std::string>{"B", "A"}));
             d.setText(combo, "C");
             click(d, 0, 1);
             EXPECT_EQ(d.choices(combo), (std::vector<std::string>{"B", "A", "C"}));
             EXPECT_EQ(d.text(combo), "B");
             d.setText(combo, "D");
             click(d, 2, 0);
         }, true, "0r0D 1r1A 2r2B 3r3C 4r4A "},
        {"a forbidden character keeps the cell and OK", [](W::DialogWindow& d, ContextMenus&) {
             click(d, 1, 1);
             d.setText(shownEditor(d), "a/b");
             d.press(kOk);
             EXPECT_FALSE(d.ended());
             d.press(W::kDialogIdCancel);
         }, false, "10r0B 20r1A 30r2B 40r3 50r4A "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fill();
        dialogs.answers.push_back([&](W::DialogWindow& d) {
            EXPECT_EQ(linesOf(d), (std::vector<std::string>{"+r0|B", "+r1|A", "+r2|B", "+r3|", "+r4|A"}));
            c.act(d, menus);
            if (!d.ended()) d.press(kOk);
        });
        EntryDialog dialog(entries);
        EXPECT_EQ(dialog.open(), c.ok);
        EXPECT_EQ(stored(), c.stored);
        entries.clear();
    }
    EXPECT_EQ(menus.offered,
              (std::vector<std::string>{"先頭に移動", "最後に移動", "", "同じラベルの項目を全て先頭に移動",
                                        "同じラベルの項目を全て最後に移動", "", "全ての項目をラベルのグループで纏める", "",
                                        "全ての項目の表示を有効にする", "全ての項目の表示を無効にする"}));
}

}  // namespace

#include "core/FileName.h"
#include "plugin/InputPlugin.h"
#include "plugin/InputService.h"
#include "ui/dialogs/InputPluginDialog.h"

namespace {

class InputPlugins : public MenuDefines {
protected:
    void SetUp() override {
        MenuDefines::SetUp();
        input.emplace();
    }
    void TearDown() override {
        input.reset();
        MenuDefines::TearDown();
    }
    Plugin::InputService& service() { return *input->get(); }
    std::optional<System::ServiceHolder<Plugin::InputService>> input;
};

TEST(InputPluginExtensions, TheFilterKeepsLettersDigitsCommasUnderscoresAndHyphens) {
    struct Case {
        const wchar_t* in;
        const wchar_t* out;
    } cases[] = {
        {L"mp4,MOV", L"mp4,MOV"}, {L" *.png; .jpg", L"pngjpg"}, {L"a_b-c,d", L"a_b-c,d"}, {L"動画,ｍｐ４", L","}, {L"", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(Dialog::InputPluginDialog::filterExtensions(c.in), c.out) << System::wideToUtf8(c.in);
}

TEST_F(InputPlugins, TheOrderBecomesThePriorityAndTheExtensionsAreStored) {
    const auto plugins = service().plugins();
    ASSERT_GE(plugins.size(), 3u);
    const size_t n = plugins.size();
    std::vector<std::string> expected;
    for (const auto& plugin : plugins) {
        std::wstring ext;
        for (const auto& e : plugin->getExtList()) ext += (ext.empty() ? L"" : L",") + e;
        expected.push_back(System::wideToUtf8(plugin->name) + "|" +
                           System::wideToUtf8(Dialog::InputPluginDialog::filterExtensions(ext)));
    }
    std::vector<std::string> shown;
    dialogs.answers.push_back([&](W::DialogWindow& d) {
        shown = linesOf(d);
        // The last reader to the top; the first one's extensions typed, the second one's emptied.
        menus.choose(d, int32_t(n) - 1, "先頭に移動");
        click(d, 1, 1);
        d.setText(shownEditor(d), "PNG, x.y;z");
        d.press(W::kDialogIdOk);  // Enter commits the cell
        EXPECT_FALSE(d.ended());
        click(d, 2, 1);
        d.setText(shownEditor(d), " ;. ");
        d.press(kOk);
    });
    EXPECT_TRUE(Dialog::InputPluginDialog().open());
    EXPECT_EQ(dialogs.shown.back().caption, "入力プラグインの設定");
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(menus.offered.size(), 6u);
    EXPECT_EQ(plugins[n - 1]->priority(), 0);
    EXPECT_EQ(plugins[0]->priority(), 1);
    EXPECT_EQ(plugins[1]->priority(), 2);
    EXPECT_EQ(plugins[0]->getExtList(), (std::vector<std::wstring>{L"png", L"xyz"}));
    // Nothing left of the text: the filter's own extensions, stored as the empty setting.
    EXPECT_EQ(plugins[1]->extText(), L"");
    EXPECT_EQ(plugins[1]->getExtList(), System::FileName::getFilterExtList(plugins[1]->filter.c_str()));
    // The service's table follows at once: ".xyz" goes to the first reader.
    const auto found = service().imageTable().find(L"xyz");
    const bool listed = found != service().imageTable().end() || service().videoTable().count(L"xyz") != 0;
    EXPECT_TRUE(listed);
}

TEST_F(InputPlugins, CancelKeepsEveryPriorityAndTheSettingEntryFollowsTheRow) {
    const auto plugins = service().plugins();
    std::vector<int32_t> before;
    for (const auto& p : plugins) before.push_back(p->priority());
    dialogs.answers.push_back([&](W::DialogWindow& d) {
        menus.choose(d, 0, "最後に移動");
        menus.pick.clear();
        for (int32_t line = 0; line < int32_t(plugins.size()); ++line) {
            mouse(d, E::RightDown, line, 0);
            mouse(d, E::RightUp, line, 0);
            const std::string& entry = menus.offered.back();
            const bool offers = (plugins[(size_t(line) + 1) % plugins.size()]->flags & Plugin::InputPlugin::kSetting) != 0;
            EXPECT_EQ(entry, offers ? "プラグインの設定" : "プラグインの設定 (off)") << line;
        }
        d.press(W::kDialogIdCancel);
    });
    EXPECT_FALSE(Dialog::InputPluginDialog().open());
    for (size_t i = 0; i < plugins.size(); ++i) EXPECT_EQ(plugins[i]->priority(), before[i]);
}

}  // namespace

#include "core/ServiceHolder.h"
#include "core/SettingService.h"
#include "effect/EffectService.h"
#include "effect/MovementParamsManager.h"
#include "effect/PaletteManager.h"
#include "media/gpu/Direct2DService.h"
#include "media/gpu/FontManager.h"
#include "ui/dialogs/FontMenuDialog.h"
#include "ui/dialogs/MovementParamsMenuDialog.h"
#include "ui/dialogs/PresetColorMenuDialog.h"

namespace {

// The registries behind the Setting menu's preset, colour and font menu
// dialogs, with the main settings file their entries keep their places in.
class RegistryMenus : public MenuDefines {
protected:
    void SetUp() override {
        MenuDefines::SetUp();
        writeFile(appData() / "Default" / "curves.params", "ease=1,0.5\r\nsharp=2\r\nslow=3\r\n");
        writeFile(appData() / "Default" / "mine.palette", "0=ff0000|rouge\r\n1=00ff00|vert\r\n2=0000ff|bleu\r\n");
        settings.emplace();
        effects.emplace();
        direct2D.emplace();
    }
    void TearDown() override {
        direct2D.reset();
        effects.reset();
        settings.reset();
        MenuDefines::TearDown();
    }
    // The entries in menu order: order, name, label, "-" when hidden.
    template <class T>
    static std::string stored(const std::vector<T*>& entries) {
        std::string out;
        for (const auto* e : entries)
            out += std::to_string(e->order) + System::wideToUtf8(e->getName()) + System::wideToUtf8(e->label) +
                   (e->hide ? "-" : "") + " ";
        return out;
    }
    std::optional<System::ServiceHolder<Setting::SettingService>> settings;
    std::optional<Effect::EffectService> effects;
    std::optional<System::ServiceHolder<Media::Direct2DService>> direct2D;
};

TEST_F(RegistryMenus, TheOrderLabelsAndTicksOfEachMenuAreStoredAndReadBack) {
    struct Case {
        const char* caption;
        std::function<bool(const wchar_t*)> open;
        std::function<std::string()> entries;
        std::function<void()> reload;  // the registry built again from its files and the settings
        std::vector<std::string> shown;
        const char* stored;
    } cases[] = {
        {"時間制御メニューの設定",
         [](const wchar_t* caption) { return Dialog::MovementParamsMenuDialog(caption).open(); },
         [] { return stored(Effect::MovementParamsManager::get()->getMenuList()); },
         [] { Effect::MovementParamsManager::get()->loadMovementParams(); },
         {"+ease@curves|", "+sharp@curves|", "+slow@curves|"},
         "0slow@curves速い 1ease@curves- 2sharp@curves "},
        {"プリセット色メニューの設定",
         [](const wchar_t* caption) { return Dialog::PresetColorMenuDialog(caption).open(); },
         [] { return stored(Effect::PaletteManager::get()->getPresetColorMenuList()); },
         [] { Effect::PaletteManager::get()->loadPalettes(); },
         {"+rouge|", "+vert|", "+bleu|"},
         "0bleu速い 1rouge- 2vert "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        std::vector<std::string> shown;
        dialogs.answers.push_back([&](W::DialogWindow& d) {
            shown = linesOf(d);
            menus.choose(d, 2, "先頭に移動");
            click(d, 0, 1);
            d.setText(shownEditor(d), "速い");
            click(d, 1, 0, true);  // commits the label and unticks the next line
            d.press(kOk);
        });
        EXPECT_TRUE(c.open(System::utf8ToWide(c.caption).c_str()));
        EXPECT_EQ(dialogs.shown.back().caption, c.caption);
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(c.entries(), c.stored);
        c.reload();
        EXPECT_EQ(c.entries(), c.stored) << "read back from the settings";
    }
}

TEST_F(RegistryMenus, TheFontMenuListsEveryFontAndCancelKeepsIt) {
    const auto before = Media::Direct2DService::get()->fontManager.getFontList();
    ASSERT_GE(before.size(), 2u);
    std::vector<std::string> shown;
    dialogs.answers.push_back([&](W::DialogWindow& d) {
        shown = linesOf(d);
        menus.choose(d, 0, "最後に移動");
        d.press(W::kDialogIdCancel);
    });
    EXPECT_FALSE(Dialog::FontMenuDialog(L"フォントメニューの設定").open());
    ASSERT_EQ(shown.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(shown[i], (before[i]->hide ? "" : "+") + System::wideToUtf8(before[i]->getName()) + "|");
    EXPECT_EQ(Media::Direct2DService::get()->fontManager.getFontList(), before);

    dialogs.answers.push_back([&](W::DialogWindow& d) {
        menus.choose(d, 0, "最後に移動");
        d.press(kOk);
    });
    EXPECT_TRUE(Dialog::FontMenuDialog(L"フォントメニューの設定").open());
    const auto after = Media::Direct2DService::get()->fontManager.getFontList();
    EXPECT_EQ(after.back(), before.front());
    EXPECT_EQ(after.front(), before[1]);
    EXPECT_EQ(after.back()->order, static_cast<int32_t>(after.size()) - 1);
}

}  // namespace
