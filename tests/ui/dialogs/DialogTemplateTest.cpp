// The dialog framework answered through the dialogs' scripted-answer hook:
// layout, OK and Enter, the items' reading of their fields and their refusals.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/TextConvert.h"
#include "support/ScriptedBoxes.h"
#include "support/ScriptedDialogs.h"
#include "ui/dialogs/DialogItemComboBox.h"
#include "ui/dialogs/DialogItemImageSize.h"
#include "ui/dialogs/DialogItemInteger.h"
#include "ui/dialogs/DialogItemListBox.h"
#include "ui/dialogs/DialogItemNameComboBox.h"
#include "ui/dialogs/DialogItemNameText.h"
#include "ui/dialogs/DialogItemNumber.h"
#include "ui/dialogs/DialogItemStatic.h"
#include "ui/dialogs/DialogItemText.h"
#include "ui/dialogs/DialogTemplate.h"
#include "ui/dialogs/ReadValue.h"
#include "platform/window/TopLevel.h"
#include "ui/framework/PopupMenu.h"
#include "ui/framework/ToolTips.h"

namespace {

namespace W = Platform::window;
using Dialog::DialogTemplate;

constexpr int32_t kOk = DialogTemplate::kOkButtonId;

std::string tip() { return System::wideToUtf8(Window::ToolTips::text); }

TEST(DialogTemplate, OneLineItemHasNoOkButtonAndEnterSubmitsEscapeCancels) {
    struct Case {
        const char* name;
        bool enter;  // else Escape
        bool result;
    } cases[] = {{"Enter", true, true}, {"Escape", false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedDialogs dialogs;
        DialogTemplate dialog(L"one");
        auto* item = dialog.addInteger(L"数", 5, 1, 100);
        dialogs.answers.push_back([&](W::DialogWindow& d) {
            d.setText(item->control, "42");
            d.press(c.enter ? W::kDialogIdOk : W::kDialogIdCancel);
        });
        EXPECT_EQ(dialog.create(), c.result);
        EXPECT_FALSE(dialog.okButton);
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_FALSE(dialogs.shown[0].okButton);
        EXPECT_EQ(item->value, c.result ? 42 : 5);
    }
}

TEST(DialogTemplate, WhoGetsAnOkButtonAndWhetherEnterSubmits) {
    struct Case {
        const char* name;
        int items;
        int32_t tallHeight;  // of the first item; 0 one line
        int32_t buttonMode;
        bool okButton;
    } cases[] = {
        {"two items", 2, 0, 0, true},
        {"one tall item", 1, 80, 0, true},
        {"mode 1 with one item", 1, 0, 1, true},
        {"mode 2 with two items", 2, 0, 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedDialogs dialogs;
        DialogTemplate dialog(L"d");
        std::vector<Dialog::DialogItemInteger*> items;
        for (int i = 0; i < c.items; ++i) items.push_back(dialog.addInteger(L"数", 1, 1, 9));
        items[0]->height = c.tallHeight;
        dialog.buttonMode = c.buttonMode;
        bool enterEnded = false, okEnded = false;
        dialogs.answers.push_back([&](W::DialogWindow& d) {
            d.press(W::kDialogIdOk);
            enterEnded = d.ended();
            if (!d.ended() && d.hasControl(kOk)) {
                d.press(kOk);
                okEnded = d.ended();
            }
        });
        EXPECT_EQ(dialog.create(), true);
        EXPECT_EQ(dialog.okButton, c.okButton);
        EXPECT_EQ(dialogs.shown[0].okButton, c.okButton);
        EXPECT_EQ(enterEnded, !c.okButton);
        EXPECT_EQ(okEnded, c.okButton);
    }
}

TEST(DialogTemplate, LayoutColumnsAndSizes) {
    ScriptedDialogs dialogs;
    // Without labels the fields start at 12 and span the width less 24.
    {
        DialogTemplate dialog(L"d");
        dialog.append(std::make_unique<Dialog::DialogItemText>(nullptr, L"a", false));
        dialog.append(std::make_unique<Dialog::DialogItemText>(nullptr, L"b", false));
        W::DialogControlSpec first;
        dialogs.answers.push_back([&](W::DialogWindow& d) { first = *d.control(ScriptedDialogs::nthField(d, 0)); });
        dialog.create();
        EXPECT_EQ(first.x, 12);
        EXPECT_EQ(first.y, 12);
        EXPECT_EQ(first.width, dialog.minimumClientWidth - 24);
        EXPECT_EQ(dialog.minimumClientWidth, 324);
        const int32_t line = dialog.lineHeight;
        EXPECT_GT(line, 4);
        // 18 + two rows of (line + 6) + the button row of line + 12.
        EXPECT_EQ(dialog.minimumClientHeight, 18 + 2 * (line + 6) + line + 12);
    }
    // With labels the width is the widest label + 332, never below the minimum asked.
    for (int32_t asked : {0, 2000}) {
        DialogTemplate dialog(L"d");
        dialog.addInteger(L"短い", 1, 1, 9);
        dialog.addInteger(L"ずっと長いラベルの文字列", 1, 1, 9);
        int32_t widest = 0, fieldX = 0;
        dialogs.answers.push_back([&](W::DialogWindow& d) {
            widest = d.measureText("ずっと長いラベルの文字列").x;
            fieldX = d.control(ScriptedDialogs::nthField(d, 0))->x;
        });
        dialog.create(asked);
        EXPECT_EQ(fieldX, widest + 8 + 12);
        EXPECT_EQ(dialog.minimumClientWidth, std::max(widest + 332, asked));
    }
}

TEST(DialogTemplate, CaptionIsCutAt63Characters) {
    ScriptedDialogs dialogs;
    const std::wstring longCaption(80, L'題');
    DialogTemplate dialog(longCaption.c_str());
    dialog.addInteger(L"数", 1, 1, 9);
    dialog.create();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(System::utf8ToWide(dialogs.shown[0].caption), std::wstring(63, L'題'));
}

TEST(DialogTemplate, TextAndNameFieldsRefuseWhatTheyMust) {
    struct Case {
        const char* name;
        int kind;  // 0 text, 1 name text, 2 name combo box
        bool required;
        const char* typed;
        bool accepted;
        const char* tip;  // shown tool tip (empty: none)
    } cases[] = {
        {"required text left empty", 0, true, "", false, "必須項目です"},
        {"optional text left empty", 0, false, "", true, ""},
        {"text with a full stop", 0, true, "a.b", true, ""},
        {"name with a full stop", 1, true, "a.b", false, "使用できない文字が含まれています"},
        {"name with a percent", 1, true, "50%", false, "使用できない文字が含まれています"},
        {"name with a slash", 1, true, "a/b", false, "使用できない文字が含まれています"},
        {"name left empty", 1, true, "", false, "必須項目です"},
        {"plain name", 1, true, "シーン 2", true, ""},
        {"name combo left empty", 2, false, "", true, ""},
        {"name combo with a colon", 2, false, "a:b", false, "使用できない文字が含まれています"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Window::ToolTips::hide();
        Window::ToolTips::text.clear();
        ScriptedDialogs dialogs;
        DialogTemplate dialog(L"d");
        Dialog::DialogItemText* item = nullptr;
        if (c.kind == 0) item = dialog.append(std::make_unique<Dialog::DialogItemText>(L"名前", L"old", c.required));
        if (c.kind == 1) item = dialog.addItem(L"名前", std::wstring(L"old"));
        if (c.kind == 2) item = dialog.append(std::make_unique<Dialog::DialogItemNameComboBox>(L"名前", L"old"));
        dialogs.answers.push_back([&](W::DialogWindow& d) {
            d.setText(item->control, c.typed);
            d.press(W::kDialogIdOk);
            EXPECT_EQ(d.ended(), c.accepted);
        });
        EXPECT_EQ(dialog.create(), c.accepted);
        if (c.accepted) EXPECT_EQ(item->text, System::utf8ToWide(c.typed));
        if (*c.tip == 0) {
            EXPECT_FALSE(Window::ToolTips::shown);
        } else {
            EXPECT_TRUE(Window::ToolTips::shown);
            EXPECT_EQ(tip().rfind(c.tip, 0), 0u) << tip();
        }
    }
    // The refused characters are named in the tip.
    EXPECT_EQ(Window::ToolTips::text, L"使用できない文字が含まれています   \\ / :*? \"'<>|%=,.");
    Window::ToolTips::hide();
}

TEST(DialogTemplate, IntegerAndNumberFieldsReadTheLeadingNumberWithinTheRange) {
    struct Case {
        const char* typed;
        bool number;  // else integer, both with the range 1 to 100
        bool accepted;
        double value;  // the value after the dialog (kept on Cancel)
    } cases[] = {
        {"12abc", false, true, 12},   {"abc", false, false, 7},     {"", false, false, 7},
        {"100", false, true, 100},    {"101", false, false, 7},     {"  42", false, true, 42},
        {"99999999999", false, false, 7},
        {" 2.5 ", true, true, 2.5},   {"1e2", true, true, 100},     {"0.5", true, false, 7},
        {"nan", true, false, 7},      {"x", true, false, 7},        {"3,5", true, true, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        Window::ToolTips::hide();
        ScriptedDialogs dialogs;
        DialogTemplate dialog(L"d");
        Dialog::DialogItem* item = c.number ? static_cast<Dialog::DialogItem*>(dialog.addItem(L"数", 7.0, 1.0, 100.0))
                                            : dialog.addInteger(L"数", 7, 1, 100);
        dialogs.answers.push_back([&](W::DialogWindow& d) {
            d.setText(item->control, c.typed);
            d.press(W::kDialogIdOk);
        });
        EXPECT_EQ(dialog.create(), c.accepted);
        if (c.accepted) {
            const double read = c.number ? static_cast<Dialog::DialogItemNumber*>(item)->value
                                         : static_cast<Dialog::DialogItemInteger*>(item)->value;
            EXPECT_DOUBLE_EQ(read, c.value);
            EXPECT_FALSE(Window::ToolTips::shown);
        } else {
            EXPECT_TRUE(Window::ToolTips::shown);
            EXPECT_EQ(tip(), std::string("値が不正です ") + (c.number ? "(1 - 100)" : "(1 - 100)"));
        }
    }
    Window::ToolTips::hide();
}

TEST(DialogTemplate, NumberRangeIsShownWithSixteenDigits) {
    ScriptedDialogs dialogs;
    DialogTemplate dialog(L"d");
    auto* item = dialog.addItem(L"数", 1.0, 0.001, 1000.0);
    dialogs.answers.push_back([&](W::DialogWindow& d) {
        d.setText(item->control, "0");
        d.press(W::kDialogIdOk);
    });
    EXPECT_FALSE(dialog.create());
    EXPECT_EQ(tip(), "値が不正です (0.001 - 1000)");
    Window::ToolTips::hide();
}

TEST(DialogTemplate, RefusedItemStopsTheSubmitAndEarlierItemsKeepWhatTheyRead) {
    ScriptedDialogs dialogs;
    DialogTemplate dialog(L"d");
    auto* first = dialog.addInteger(L"一", 1, 1, 9);
    auto* second = dialog.addInteger(L"二", 2, 1, 9);
    auto* third = dialog.addInteger(L"三", 3, 1, 9);
    dialogs.answers.push_back([&](W::DialogWindow& d) {
        d.setText(first->control, "4");
        d.setText(second->control, "10");
        d.setText(third->control, "6");
        d.press(kOk);
        EXPECT_FALSE(d.ended());
        d.press(W::kDialogIdCancel);
    });
    EXPECT_FALSE(dialog.create());
    EXPECT_EQ(first->value, 4);
    EXPECT_EQ(second->value, 10);  // read, then refused as out of range
    EXPECT_EQ(third->value, 3);
    Window::ToolTips::hide();
}

TEST(DialogTemplate, ImageSizeReadsTheWidthFirst) {
    struct Case {
        const char* width;
        const char* height;
        bool accepted;
        int32_t expectedWidth, expectedHeight;
    } cases[] = {
        {"1280", "720", true, 1280, 720},  {"31", "720", false, 31, 1080},   {"16384", "32", true, 16384, 32},
        {"16385", "x", false, 16385, 1080}, {"640", "16385", false, 640, 16385},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.width) + " x " + c.height);
        ScriptedDialogs dialogs;
        DialogTemplate dialog(L"d");
        auto* item =
            dialog.append(std::make_unique<Dialog::DialogItemImageSize>(L"解像度", 1920, 1080, 32, 16384));
        dialog.buttonMode = 1;
        std::string shownWidth, shownHeight;
        int32_t fieldWidth = 0, rowWidth = 0, gap = 0;
        dialogs.answers.push_back([&](W::DialogWindow& d) {
            shownWidth = d.text(item->control);
            shownHeight = d.text(item->heightControl);
            fieldWidth = d.control(item->control)->width;
            gap = d.control(item->heightControl)->x - d.control(item->control)->x - fieldWidth;
            rowWidth = d.clientSize().x - d.control(item->control)->x - 12;
            d.setText(item->control, c.width);
            d.setText(item->heightControl, c.height);
            d.press(kOk);
        });
        EXPECT_EQ(dialog.create(), c.accepted);
        EXPECT_EQ(shownWidth, "1920");
        EXPECT_EQ(shownHeight, "1080");
        EXPECT_EQ(fieldWidth, (rowWidth - 4) / 2);
        EXPECT_EQ(gap, 4);
        EXPECT_EQ(item->imageWidth, c.expectedWidth);
        EXPECT_EQ(item->imageHeight, c.expectedHeight);
    }
    Window::ToolTips::hide();
}

TEST(DialogTemplate, ListBoxKeepsItsIndexWhenNothingIsChosen) {
    struct Case {
        int32_t chosen;  // -1: nothing
        int32_t expected;
    } cases[] = {{-1, 1}, {0, 0}, {2, 2}};
    for (const Case& c : cases) {
        ScriptedDialogs dialogs;
        DialogTemplate dialog(L"d");
        auto* list = dialog.addItem(L"一覧", 1);
        for (const wchar_t* t : {L"a", L"b", L"c"}) list->addItem(t);
        list->selectItem(L"z");  // absent: unchanged
        EXPECT_EQ(list->selected, 1);
        dialog.buttonMode = 1;
        std::vector<std::string> choices;
        int32_t shownSelection = -2;
        dialogs.answers.push_back([&](W::DialogWindow& d) {
            choices = d.choices(list->control);
            shownSelection = d.selection(list->control);
            d.choose(list->control, c.chosen);
            d.press(kOk);
        });
        EXPECT_TRUE(dialog.create());
        EXPECT_EQ(choices, (std::vector<std::string>{"a", "b", "c"}));
        EXPECT_EQ(shownSelection, 1);
        EXPECT_EQ(list->selected, c.expected);
    }
}

TEST(DialogTemplate, ExtraButtonsRunTheirActionAndKeepTheDialogOpen) {
    ScriptedDialogs dialogs;
    DialogTemplate dialog(L"d");
    dialog.addInteger(L"数", 1, 1, 9);
    int pressed = 0;
    dialog.addButton(L"設定", [&] { ++pressed; });
    dialog.addButton(L"別", [&] { pressed += 10; }, 50);
    dialogs.answers.push_back([&](W::DialogWindow& d) {
        EXPECT_EQ(d.control(10000)->x, 12);
        EXPECT_EQ(d.control(10001)->width, 50);
        EXPECT_EQ(d.control(10001)->x, 12 + d.control(10000)->width + 12);
        d.press(10000);
        d.press(10001);
        EXPECT_FALSE(d.ended());
        d.press(W::kDialogIdOk);  // no OK button: Enter submits
    });
    EXPECT_TRUE(dialog.create());
    EXPECT_EQ(pressed, 11);
}

TEST(DialogTemplate, ComboBoxProviderRefillsTheChoices) {
    ScriptedDialogs dialogs;
    DialogTemplate dialog(L"d");
    auto* combo = dialog.append(std::make_unique<Dialog::DialogItemComboBox>(L"候補", L"x", false));
    combo->choices = {L"a"};
    combo->provider = [](std::vector<std::wstring>& out) { out = {L"p", L"q"}; };
    dialogs.answers.push_back([&](W::DialogWindow& d) {
        EXPECT_EQ(d.choices(combo->control), (std::vector<std::string>{"a"}));
        combo->update();
        EXPECT_EQ(d.choices(combo->control), (std::vector<std::string>{"p", "q"}));
        d.choose(combo->control, 1);
        d.press(W::kDialogIdOk);
    });
    EXPECT_TRUE(dialog.create());
    EXPECT_EQ(combo->text, L"q");
}

TEST(DialogTemplate, BaseItemAndUnsupportedOperationsThrow) {
    ScriptedDialogs dialogs;
    DialogTemplate dialog(L"d");
    dialog.append(std::make_unique<Dialog::DialogItem>(L"無"));
    EXPECT_THROW(dialog.create(), std::runtime_error);
    Dialog::DialogItem bare;
    EXPECT_THROW(bare.submit(), std::runtime_error);
    EXPECT_THROW(bare.update(), std::runtime_error);
}

TEST(DialogTemplate, TheBoxesHookAcceptsOrCancelsADialogAsItStands) {
    struct Case {
        int answer;
        bool result;
    } cases[] = {{W::kIdOk, true}, {W::kIdCancel, false}};
    for (const Case& c : cases) {
        std::vector<W::MessageBoxRequest> asked;
        auto previous = W::setMessageBoxHook([&](const W::MessageBoxRequest& r) {
            asked.push_back(r);
            return c.answer;
        });
        DialogTemplate dialog(L"問い");
        auto* a = dialog.addInteger(L"一", 3, 1, 9);
        dialog.addInteger(L"二", 4, 1, 9);
        EXPECT_EQ(dialog.create(), c.result);
        W::setMessageBoxHook(previous);
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].title, "問い");
        EXPECT_EQ(a->value, 3);
    }
}

}  // namespace

namespace {

intptr_t ownerProc(W::WindowHandle w, uint32_t m, uintptr_t wp, intptr_t lp) { return W::defWindowProc(w, m, wp, lp); }

TEST(DialogTemplate, PlacedAtTheMenuPointInsideTheOwnerOrCentredWithAnOkButton) {
    W::WindowDesc desc;
    desc.title = "owner";
    desc.x = 100;
    desc.y = 100;
    desc.width = 800;
    desc.height = 600;
    desc.procedure = &ownerProc;
    W::WindowHandle owner = W::createWindow(desc);
    ASSERT_NE(owner, nullptr);
    W::Rect rect;
    ASSERT_TRUE(W::getWindowRect(owner, rect));
    struct Case {
        const char* name;
        int items;
        W::Point menu;
        bool inside;  // the point is far enough from the right and bottom edges
    } cases[] = {
        {"at the menu point", 1, {rect.left + 10, rect.top + 20}, true},
        {"pulled back inside", 1, {rect.right - 5, rect.bottom - 5}, false},
        {"centred with an OK button", 2, {rect.left + 10, rect.top + 20}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedDialogs dialogs;
        DialogTemplate dialog(L"d");
        for (int i = 0; i < c.items; ++i) dialog.addInteger(L"数", 1, 1, 9);
        W::Point at, size;
        dialogs.answers.push_back([&](W::DialogWindow& d) {
            at = d.position();
            size = d.clientSize();
        });
        Window::PopupMenu::menuPoint = c.menu;
        Window::PopupMenu::inMenuCommand = true;
        dialog.create(0, owner);
        Window::PopupMenu::inMenuCommand = false;
        if (c.items > 1) {
            EXPECT_EQ(at.x, rect.left + (rect.right - rect.left - size.x) / 2);
            EXPECT_EQ(at.y, rect.top + (rect.bottom - rect.top - size.y) / 2);
        } else if (c.inside) {
            EXPECT_EQ(at.x, c.menu.x);
            EXPECT_EQ(at.y, c.menu.y);
        } else {
            EXPECT_EQ(at.x, rect.right - size.x);
            EXPECT_EQ(at.y, rect.bottom - size.y);
        }
    }
    W::destroyWindow(owner);
}

}  // namespace
