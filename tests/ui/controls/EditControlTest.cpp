// The text editor driven through the input router: typing, caret keys with
// and without Shift, mouse selection, the desktop clipboard, the input filter,
// characters beyond the first plane, scrolling a long text, Tab along a focus
// group, and text composed in the window's input method.
#include "ui/controls/EditControl.h"

#include <gtk/gtk.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "core/Clipboard.h"
#include "platform/window/InputMethod.h"
#include "platform/window/Menu.h"
#include "support/PumpMessages.h"
#include "ui/controls/EditFixture.h"
#include "ui/controls/EditScrollBarControl.h"

namespace {

namespace W = Platform::window;
using Control::EditControl;
using TestSupport::Input;
using TestSupport::RouterStep;

class EditControls : public EditWindow {
protected:
    void SetUp() override {
        EditWindow::SetUp();
        edit = std::make_unique<EditControl>(container);
        layOut(*edit, 10, 10, 240, 28);
        edit->onChange = [this](EditControl& e) { changes.push_back(e.text); };
    }
    void TearDown() override {
        edit.reset();
        EditWindow::TearDown();
    }
    void layOut(EditControl& e, int32_t x, int32_t y, int32_t w, int32_t h) {
        e.layoutX = x, e.layoutY = y, e.layoutW = w, e.layoutH = h;
        container.updateChildLayout();
    }
    // Clicks into the editor at the character, which gives it the focus.
    void clickAt(int32_t position) {
        driver.send(at(Input::Press, *edit, position));
        driver.send(at(Input::Release, *edit, position));
    }
    void show(const std::wstring& value) {
        edit->setText(value);
        clickAt(0);
        changes.clear();
    }

    std::unique_ptr<EditControl> edit;
    std::vector<std::wstring> changes;
};

TEST_F(EditControls, TypingInsertsAtTheCaretReplacesTheSelectionAndTellsTheOwner) {
    clickAt(0);
    EXPECT_TRUE(edit->focused);
    EXPECT_TRUE(type(u"hello"));
    EXPECT_EQ(L"hello", edit->text);
    EXPECT_EQ(5, edit->caret);
    EXPECT_EQ(5u, changes.size()) << "one change per character";
    key(W::kVkHome);
    key(W::kVkRight, true), key(W::kVkRight, true);
    EXPECT_EQ(L"he", selected(*edit));
    type(u"J");
    EXPECT_EQ(L"Jllo", edit->text);
    EXPECT_EQ(1, edit->caret);
    EXPECT_FALSE(edit->hasSelection());
    key(W::kVkEnd);
    type(u"\r!");
    EXPECT_EQ(L"Jllo\n!", edit->text) << "Enter gives a line feed";
    // Setting the text is the owner's, not an edit.
    changes.clear();
    edit->setText(L"a\r\nb\rc");
    EXPECT_EQ(L"a\nb\nc", edit->text);
    EXPECT_TRUE(changes.empty());
}

TEST_F(EditControls, CaretKeysMoveAndWithShiftSelectFromTheAnchor) {
    struct Step {
        uint32_t key;
        bool shift, ctrl;
        int32_t caret, start, end;
    };
    const struct {
        const char* name;
        std::vector<Step> steps;
    } cases[] = {
        {"shift-right thrice from the start", {{W::kVkHome, false, false, 0, 0, 0},
                                               {W::kVkRight, true, false, 1, 0, 1},
                                               {W::kVkRight, true, false, 2, 0, 2},
                                               {W::kVkRight, true, false, 3, 0, 3}}},
        {"shift-left back over the anchor", {{W::kVkHome, false, false, 0, 0, 0},
                                             {W::kVkRight, false, false, 1, 0, 0},
                                             {W::kVkRight, true, false, 2, 1, 2},
                                             {W::kVkLeft, true, false, 1, 0, 0},
                                             {W::kVkLeft, true, false, 0, 0, 1}}},
        {"shift-end and shift-home on a line", {{W::kVkHome, false, false, 0, 0, 0},
                                                {W::kVkRight, false, false, 1, 0, 0},
                                                {W::kVkEnd, true, false, 7, 1, 7},
                                                {W::kVkHome, true, false, 0, 0, 1}}},
        {"ctrl-shift-end to the text's end", {{W::kVkHome, false, true, 0, 0, 0},
                                              {W::kVkEnd, true, true, 15, 0, 15}}},
        {"an arrow without Shift drops the selection", {{W::kVkEnd, true, true, 15, 0, 15},
                                                        {W::kVkLeft, false, false, 14, 0, 0}}},
        {"left stops at the start, right at the end", {{W::kVkHome, false, true, 0, 0, 0},
                                                       {W::kVkLeft, false, false, 0, 0, 0},
                                                       {W::kVkEnd, false, true, 15, 0, 0},
                                                       {W::kVkRight, false, false, 15, 0, 0}}},
        {"up on the first line and down on the last stay", {{W::kVkHome, false, true, 0, 0, 0},
                                                            {W::kVkUp, false, false, 0, 0, 0},
                                                            {W::kVkEnd, false, true, 15, 0, 0},
                                                            {W::kVkDown, false, false, 15, 0, 0}}},
        {"down and up keep to the column", {{W::kVkHome, false, true, 0, 0, 0},
                                            {W::kVkRight, false, false, 1, 0, 0},
                                            {W::kVkDown, false, false, 9, 0, 0},
                                            {W::kVkUp, true, false, 1, 1, 9}}},
    };
    layOut(*edit, 10, 10, 240, 80);
    show(L"abc def\nabc def");
    for (const auto& c : cases) {
        for (const Step& s : c.steps) {
            EXPECT_TRUE(key(s.key, s.shift, s.ctrl)) << c.name;
            EXPECT_EQ(s.caret, edit->caret) << c.name << " key " << s.key;
            EXPECT_EQ(s.start, edit->selectionStart) << c.name << " key " << s.key;
            EXPECT_EQ(s.end, edit->selectionEnd) << c.name << " key " << s.key;
        }
    }
    EXPECT_FALSE(key('A')) << "a letter key is left to its character";
    EXPECT_TRUE(changes.empty()) << "moving the caret is no edit";
}

TEST_F(EditControls, TheMouseSelectsByDragAndShiftClickAndWordsByDoubleClick) {
    show(L"alpha beta,gamma");
    // A drag from inside "lpha" to inside "gamma".
    driver.run({at(Input::Press, *edit, 1), at(Input::Move, *edit, 3), at(Input::Move, *edit, 13),
                at(Input::Release, *edit, 13)});
    EXPECT_EQ(L"lpha beta,ga", selected(*edit));
    EXPECT_EQ(13, edit->caret);
    // Dragged out past the left edge: to the start.
    RouterStep outside = at(Input::Move, *edit, 0);
    outside.x = edit->fullRect.x - 30;
    driver.run({at(Input::Press, *edit, 6), outside, at(Input::Release, *edit, 0)});
    EXPECT_EQ(L"alpha ", selected(*edit));
    EXPECT_EQ(0, edit->caret);
    // A click, then a Shift-click further on.
    clickAt(2);
    EXPECT_FALSE(edit->hasSelection());
    hold(W::kVkShift, true);
    clickAt(8);
    hold(W::kVkShift, false);
    EXPECT_EQ(L"pha be", selected(*edit));

    // Double click: the word between delimiters; a third click at the same
    // point within the double-click time: the line.
    Window::WindowMouseService& r = router();
    uint64_t now = 100000;
    r.hooks.clock = [&now] { return now; };
    const RouterStep p = at(Input::Press, *edit, 7);
    const intptr_t lp = W::makeLParam(p.x, p.y);
    for (int click = 0; click < 3; ++click) {
        now += 50;
        r.dispatch(r.window, W::kWmLButtonDown, W::kMkLButton, lp);
        r.dispatch(r.window, W::kWmLButtonUp, 0, lp);
        if (click == 1) EXPECT_EQ(L"beta", selected(*edit));
    }
    EXPECT_EQ(L"alpha beta,gamma", selected(*edit));
    EXPECT_TRUE(changes.empty());
}

TEST_F(EditControls, CutCopyAndPasteGoThroughTheDesktopClipboard) {
    show(L"one two three");
    ASSERT_TRUE(System::Clipboard::setText(L"-"));
    std::wstring board;
    // Ctrl+C (its character) with "two" selected.
    key(W::kVkHome);
    for (int i = 0; i < 4; ++i) key(W::kVkRight);
    for (int i = 0; i < 3; ++i) key(W::kVkRight, true);
    type(u"\x03");
    ASSERT_TRUE(System::Clipboard::getText(board));
    EXPECT_EQ(L"two", board);
    EXPECT_EQ(L"one two three", edit->text);
    // Ctrl+X: gone from the text, on the clipboard.
    ASSERT_TRUE(System::Clipboard::setText(L"-"));
    type(u"\x18");
    ASSERT_TRUE(System::Clipboard::getText(board));
    EXPECT_EQ(L"two", board);
    EXPECT_EQ(L"one  three", edit->text);
    // Ctrl+V at the caret; CR LF line ends become LF.
    ASSERT_TRUE(System::Clipboard::setText(L"2\r\nii"));
    type(u"\x16");
    EXPECT_EQ(L"one 2\nii three", edit->text);
    EXPECT_EQ(8, edit->caret);
    // The same through Ctrl+Insert and Shift+Insert, with "one" selected.
    key(W::kVkHome, false, true);
    for (int i = 0; i < 3; ++i) key(W::kVkRight, true);
    key(W::kVkInsert, false, true);
    ASSERT_TRUE(System::Clipboard::getText(board));
    EXPECT_EQ(L"one", board);
    key(W::kVkEnd, false, true);
    key(W::kVkInsert, true, false);
    EXPECT_EQ(L"one 2\nii threeone", edit->text);
    // Select all, then delete.
    type(u"\x01");
    EXPECT_EQ(L"one 2\nii threeone", selected(*edit));
    type(u"\x7f");
    EXPECT_EQ(L"", edit->text);
    EXPECT_EQ(4u, changes.size()) << "the cut, the two pastes and the delete";
}

TEST_F(EditControls, DeleteKeysAndControlCharacters) {
    const struct {
        const char* name;
        std::wstring text;
        int32_t caret;
        uint32_t key;  // 0: the character instead
        bool shift, ctrl;
        char16_t character;
        std::wstring after;
        int32_t caretAfter;
    } cases[] = {
        {"backspace", L"abc", 2, 0, false, false, 8, L"ac", 1},
        {"backspace at the start", L"abc", 0, 0, false, false, 8, L"abc", 0},
        {"delete", L"abc", 1, W::kVkDelete, false, false, 0, L"ac", 1},
        {"delete at the end", L"abc", 3, W::kVkDelete, false, false, 0, L"abc", 3},
        {"shift-delete without a selection is a backspace", L"abc", 2, W::kVkDelete, true, false, 0, L"ac", 1},
        {"ctrl-delete to the line's end", L"ab cd\nef", 1, W::kVkDelete, false, true, 0, L"a\nef", 1},
        {"a control character without a meaning (Ctrl+Z) changes nothing", L"abc", 3, 0, false, false, 26, L"abc",
         3},
        {"escape changes nothing", L"abc", 1, 0, false, false, 27, L"abc", 1},
        {"tab outside a group is typed", L"ab", 1, 0, false, false, 9, L"a\tb", 2},
    };
    layOut(*edit, 10, 10, 240, 80);
    for (const auto& c : cases) {
        show(c.text);
        edit->select(c.caret, c.caret, c.caret);
        if (c.key != 0)
            EXPECT_TRUE(key(c.key, c.shift, c.ctrl)) << c.name;
        else
            EXPECT_TRUE(type(std::u16string(1, c.character))) << c.name;
        EXPECT_EQ(c.after, edit->text) << c.name;
        EXPECT_EQ(c.caretAfter, edit->caret) << c.name;
    }
}

TEST_F(EditControls, TheInputFilterKeepsOnlyMatchingCharacters) {
    show(L"");
    edit->setInputFilter(L"[^\r\n]");
    type(u"ab\rc");
    EXPECT_EQ(L"abc", edit->text) << "Enter inserts nothing";
    ASSERT_TRUE(System::Clipboard::setText(L"de\r\nfg"));
    type(u"\x16");
    EXPECT_EQ(L"abcdefg", edit->text) << "two pasted lines are joined";
    edit->setInputFilter(L"[0-9+-.]");
    type(u"x1.5y");
    EXPECT_EQ(L"abcdefg1.5", edit->text);
    ASSERT_TRUE(System::Clipboard::setText(L"zz"));
    type(u"\x16");
    EXPECT_EQ(L"abcdefg1.5", edit->text) << "nothing of the pasted text passes";
}

TEST_F(EditControls, CharactersBeyondTheFirstPlaneAreOneCaretStep) {
    show(L"");
    // The two units of U+1F600 arrive as two character messages.
    type(u"a\U0001F600b");
    ASSERT_EQ(L"a\U0001F600b", edit->text);
    EXPECT_EQ(3, edit->caret);
    key(W::kVkLeft);
    key(W::kVkLeft);
    EXPECT_EQ(1, edit->caret) << "left steps over the character at once";
    key(W::kVkRight, true);
    EXPECT_EQ(L"\U0001F600", selected(*edit));
    key(W::kVkLeft);
    key(W::kVkRight);
    EXPECT_EQ(2, edit->caret);
    type(u"\b");
    EXPECT_EQ(L"ab", edit->text) << "backspace removes the whole character";
    // A lone second half is dropped; a first half waits for its partner.
    type(std::u16string(1, char16_t(0xDC00)));
    EXPECT_EQ(L"ab", edit->text);
}

TEST_F(EditControls, ALongTextIsKeptWholeAndScrolledToTheCaret) {
    // There is no length limit: a pasted text far wider than the field stays whole.
    std::wstring longText;
    for (int i = 0; i < 400; ++i) longText += wchar_t(L'a' + i % 26);
    show(L"");
    ASSERT_TRUE(System::Clipboard::setText(longText.c_str()));
    type(u"\x16");
    EXPECT_EQ(longText, edit->text);
    EXPECT_EQ(400, edit->caret);
    EXPECT_GT(edit->textWidth, edit->usableWidth());
    // The caret is in sight: scrolled to the end, no further than the text and its margin.
    const auto caretX = [&] { return at(Input::Move, *edit, edit->caret).x - 1 - edit->fullRect.x - 4; };
    EXPECT_GT(edit->scrollX, 0);
    EXPECT_GE(caretX(), 0);
    EXPECT_LE(caretX(), edit->usableWidth());
    EXPECT_LE(edit->scrollX, edit->textWidth + edit->horizontalMargin() / 2 - edit->usableWidth());
    key(W::kVkHome);
    EXPECT_EQ(0, edit->scrollX);
    // A short text centred in a wide field scrolls to a negative offset.
    edit->centerX = true;
    show(L"12");
    edit->updateScroll();
    EXPECT_LT(edit->scrollX, 0);
    EXPECT_EQ((edit->textWidth - edit->usableWidth()) / 2, edit->scrollX);
}

TEST_F(EditControls, TypingHidesThePointerUntilTheMouseMoves) {
    show(L"abc");
    driver.send(at(Input::Move, *edit, 2));
    EXPECT_EQ(&Window::WindowMouseService::MouseCursor::IBeam, router().currentCursor);
    type(u"x");
    EXPECT_EQ(&Window::WindowMouseService::MouseCursor::Hidden, router().currentCursor);
    RouterStep away = at(Input::Move, *edit, 0);
    away.y += 100;
    driver.send(away);
    EXPECT_EQ(router().defaultCursor, router().currentCursor);
}

TEST_F(EditControls, AKeyFilterTakesKeysAndDropsTheirWaitingCharacters) {
    show(L"ab");
    std::vector<int32_t> filtered;
    edit->keyFilter = [&](int32_t k) {
        filtered.push_back(k);
        return k == W::kVkReturn;
    };
    ASSERT_TRUE(W::postMessage(router().window, W::kWmChar, '\r', 0));
    EXPECT_TRUE(key(W::kVkReturn));
    W::Message waiting;
    EXPECT_FALSE(W::peekMessage(waiting, router().window, W::kWmChar, W::kWmChar, W::kPmNoRemove));
    EXPECT_TRUE(key(W::kVkLeft));
    EXPECT_EQ((std::vector<int32_t>{W::kVkReturn, W::kVkLeft}), filtered);
    EXPECT_EQ(L"ab", edit->text);
}

TEST_F(EditControls, TabMovesAlongTheFocusGroupPastMembersThatCannotTakeIt) {
    auto second = std::make_unique<EditControl>(container);
    auto third = std::make_unique<EditControl>(container);
    layOut(*second, 10, 50, 240, 28);
    layOut(*third, 10, 90, 240, 28);
    auto group = std::make_shared<std::vector<Control::EditFocusGroup*>>();
    edit->setGroup(group);
    second->setGroup(group);
    third->setGroup(group);
    show(L"first");
    EXPECT_TRUE(type(u"\t"));
    EXPECT_TRUE(second->focused);
    EXPECT_FALSE(edit->focused);
    EXPECT_EQ(second.get(), router().focusTarget);
    hold(W::kVkShift, true);
    EXPECT_TRUE(type(u"\t")) << "Shift+Tab goes back";
    hold(W::kVkShift, false);
    EXPECT_TRUE(edit->focused);
    second->enabled = false;
    EXPECT_TRUE(type(u"\t"));
    EXPECT_TRUE(third->focused) << "past the disabled one";
    EXPECT_TRUE(type(u"\t"));
    EXPECT_TRUE(edit->focused) << "round the list";
    third->visible = false;
    EXPECT_FALSE(type(u"\t")) << "nobody else can take it: not consumed";
    EXPECT_TRUE(edit->focused);
    EXPECT_EQ(L"first", edit->text);
    // A member that goes empties the group for all: Tab is typed again.
    third.reset();
    EXPECT_TRUE(type(u"\t"));
    EXPECT_EQ(L"\tfirst", edit->text);
}

TEST_F(EditControls, AFocusedEditorWithABarTakesTheWheelAndScrollsWithIt) {
    layOut(*edit, 10, 10, 200, 60);
    Control::EditScrollBarControl bar(container, 212, 10, 16);
    bar.layoutH = 60;
    container.updateChildLayout();
    bar.bind(*edit);
    std::wstring lines;
    for (int i = 0; i < 30; ++i) lines += L"line " + std::to_wstring(i) + L"\n";
    show(lines);
    EXPECT_TRUE(edit->acceptWheel);
    EXPECT_EQ(edit->verticalMargin() + edit->textHeight, bar.maximum);
    key(W::kVkEnd, false, true);
    EXPECT_GT(edit->scrollY, 0);
    EXPECT_EQ(edit->scrollY, bar.first) << "the bar follows the editor";
    const int32_t bottom = edit->scrollY;
    driver.send({Input::Wheel, edit->fullRect.x + 20, edit->fullRect.y + 20, 120});
    EXPECT_LT(edit->scrollY, bottom) << "the wheel over the editor scrolls it through its bar";
    EXPECT_EQ(edit->scrollY, bar.first);
}

TEST_F(EditControls, DrawsTheBorderTheSelectionAndTheCaret) {
    show(L"abc def");
    key(W::kVkEnd);
    for (int i = 0; i < 3; ++i) key(W::kVkLeft, true);
    ASSERT_EQ(L"def", selected(*edit));
    edit->caretVisible = true;
    edit->invalidate();
    ASSERT_TRUE(TestSupport::RouterDriver::drawQueued());
    const auto pixel = [&](int32_t x, int32_t y) { return service->target->pixel(x, y) & 0xFFFFFFu; };
    // Within a small step of the colour in every channel (text is anti-aliased nearby).
    const auto near = [](uint32_t got, uint32_t want) {
        for (int shift = 0; shift < 24; shift += 8)
            if (std::abs(int((got >> shift) & 0xFF) - int((want >> shift) & 0xFF)) > 24) return false;
        return true;
    };
    const Window::MouseRect& r = edit->fullRect;
    EXPECT_EQ(0xf0e0d0u, pixel(r.x, r.y + r.h / 2)) << "the focused border";
    EXPECT_TRUE(near(pixel(r.x + 3, r.y + r.h / 2), 0x102030u)) << "the background before the text";
    // The selection's box over "def", at its top row above the letters.
    const RouterStep d = at(Input::Move, *edit, 4), end = at(Input::Move, *edit, 7);
    float x = 0, y = 0;
    Platform::draw2d::HitTestMetrics m;
    ASSERT_EQ(Platform::kOk, Platform::draw2d::hitTestTextPosition(*edit->layout.get(), 4, false, x, y, m));
    EXPECT_EQ(0x3060c0u, pixel((d.x + end.x) / 2, r.y + 4 + static_cast<int32_t>(y) + 1));
    EXPECT_TRUE(near(pixel(at(Input::Move, *edit, 0).x + 1, r.y + 4 + static_cast<int32_t>(y) + 1), 0x102030u))
        << "no selection over \"abc\"";
    // The caret: a one-pixel bar in the text colour before "d", where the Shift-arrows left it.
    EXPECT_EQ(0xffffffu, pixel(r.x + 4 - edit->scrollX + static_cast<int32_t>(x), r.y + 4 + static_cast<int32_t>(y + m.height / 2)));
    // Without the focus: the plain border, no caret, no selection.
    driver.send({Input::Press, 500, 300, 0});
    driver.send({Input::Release, 500, 300, 0});
    ASSERT_TRUE(TestSupport::RouterDriver::drawQueued());
    EXPECT_EQ(0xc0c0c0u, pixel(r.x, r.y + r.h / 2));
    EXPECT_TRUE(near(pixel((d.x + end.x) / 2, r.y + 4 + static_cast<int32_t>(y) + 1), 0x102030u));
}

TEST_F(EditControls, TheContextMenuOffersWhatTheSelectionAllows) {
    edit->menuOnFocus = true;
    show(L"alpha beta");
    std::vector<std::string> offered;
    std::string pick;
    W::setMenuAnswerHook([&](W::MenuHandle menu, const W::Point&) {
        offered.clear();
        uint32_t chosen = 0;
        for (int32_t i = 0; i < W::getMenuItemCount(menu); ++i) {
            std::string label;
            W::getMenuStringAt(menu, i, label);
            offered.push_back(label);
            if (label == pick) chosen = static_cast<uint32_t>(W::getMenuItemId(menu, i));
        }
        return chosen;
    });
    Window::WindowMouseService& r = router();
    const auto rightClick = [&](int32_t position) {
        const RouterStep p = at(Input::Press, *edit, position);
        r.dispatch(r.window, W::kWmRButtonDown, W::kMkRButton, W::makeLParam(p.x, p.y));
        r.dispatch(r.window, W::kWmRButtonUp, 0, W::makeLParam(p.x, p.y));
    };
    EXPECT_TRUE(edit->acceptRightButton) << "takes the right button while focused";
    pick = "すべてを選択";
    rightClick(2);
    EXPECT_EQ((std::vector<std::string>{"貼り付け", "すべてを選択"}), offered);
    EXPECT_EQ(L"alpha beta", selected(*edit));
    pick = "削除";
    rightClick(2);
    EXPECT_EQ((std::vector<std::string>{"切り取り", "コピー", "貼り付け", "削除"}), offered);
    EXPECT_EQ(L"", edit->text);
    W::setMenuAnswerHook({});
    // Unfocused, it no longer takes the right button.
    driver.send({Input::Press, 500, 300, 0});
    driver.send({Input::Release, 500, 300, 0});
    EXPECT_FALSE(edit->acceptRightButton);
}

// The input method of the real window: a composition made through the
// context's own signals reaches the focused editor as its composed text.
TEST_F(EditControls, ComposedTextFromTheInputMethodReachesTheFocusedEditor) {
    auto* context = static_cast<GtkIMContext*>(W::inputContextOf(router().window));
    if (context == nullptr) GTEST_SKIP() << "needs a display";
    show(L"ab");
    key(W::kVkEnd);
    key(W::kVkLeft);
    g_signal_emit_by_name(context, "preedit-start");
    g_signal_emit_by_name(context, "preedit-changed");
    g_signal_emit_by_name(context, "commit", "日本語");
    g_signal_emit_by_name(context, "preedit-end");
    TestSupport::pumpUntil([&] { return edit->text.size() > 2; }, "the composed text");
    EXPECT_EQ(L"a日本語b", edit->text);
    EXPECT_EQ(4, edit->caret);
    EXPECT_EQ(1u, changes.size());
    // The composition window was placed at the caret, inside the editor.
    W::Point caretAt;
    W::Rect area;
    ASSERT_TRUE(W::getCompositionWindow(router().window, caretAt, area));
    EXPECT_EQ(edit->fullRect.x, area.left);
    EXPECT_GT(caretAt.x, edit->fullRect.x + 4);
    EXPECT_LT(caretAt.x, edit->fullRect.x + edit->fullRect.w);
    std::string family;
    int32_t height = 0;
    ASSERT_TRUE(W::getCompositionFont(router().window, family, height));
    EXPECT_EQ("DejaVu Sans", family);
    EXPECT_EQ(-12, height);

    // A press outside every text-taking control detaches the input method:
    // text committed then reaches nobody.
    driver.send({Input::Press, 500, 300, 0});
    driver.send({Input::Release, 500, 300, 0});
    EXPECT_FALSE(edit->focused);
    EXPECT_FALSE(W::isInputContextAssociated(router().window));
    g_signal_emit_by_name(context, "commit", "x");
    TestSupport::pumpUntil([] { return true; }, "the messages");
    W::Message m;
    while (W::peekMessage(m, nullptr, 0, 0, W::kPmRemove)) W::dispatchMessage(m);
    EXPECT_EQ(L"a日本語b", edit->text);
    // Clicking into the editor again associates it.
    clickAt(1);
    EXPECT_TRUE(W::isInputContextAssociated(router().window));
}

}  // namespace
