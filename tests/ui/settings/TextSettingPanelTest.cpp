// The text panel in a main window: it binds the text of the focused text
// object only, writes each change of its editor as one undo step, steps back
// through the item's own changes with the undo keys, and inserts the text
// drawing's tags from its menus; all driven through the input router.
#include "ui/settings/EffectTextSettingComponent.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "SettingFixture.h"
#include "core/HookScope.h"
#include "core/ServiceHolder.h"
#include "core/TextConvert.h"
#include "edit/UndoService.h"
#include "effects/TextInput.h"
#include "platform/window/KeyMap.h"
#include "platform/window/Menu.h"
#include "ui/framework/BaseMenu.h"
#include "ui/framework/Host.h"
#include "ui/framework/ShortcutList.h"

namespace {

namespace W = Platform::window;
using Component::EffectTextSettingComponent;
using Component::EffectTextSettingControl;
using TestSupport::Input;
using TestSupport::RouterStep;

class TextPanel : public SettingWindow {
protected:
    void SetUp() override {
        SettingWindow::SetUp();
        if (IsSkipped()) return;
        refresh.emplace(Edit::UpdateSection::setPanelRefresh, EffectTextSettingComponent::applyScopeRequests);
        shortcuts.emplace();
        if (Window::ShortcutList::get()->find(0x405A) == nullptr)
            Window::ShortcutList::get()->add(L"元に戻す", 0x405A, [] {});
        if (Window::ShortcutList::get()->find(0x605A) == nullptr)
            Window::ShortcutList::get()->add(L"やり直す", 0x605A, [] {});
        textObject = scene->createObject(0, 0, 99);
        textObject->effects.push_back(std::make_shared<Effect::TextInput>());
        textOf(textObject).text.text = L"abc";
        // An effect named like the text source but not it.
        otherObject = addObject(1, 0, 99, Effect::TextInput::kName);
        scene->update();
        holder.emplace();
        panel = EffectTextSettingComponent::get();
        colours.textPresetColorMenu = [](Window::BaseMenu& popup,
                                         const std::function<void(const Media::ColorBytes&)>& choose) {
            popup.insertItem(L"青", [choose] { choose({0x00, 0x80, 0xff}); });
            popup.insertItem(L"赤", [choose] { choose({0xff, 0x00, 0x00}); });
        };
        coloursHost.emplace(Window::setHost, &colours);
    }
    void TearDown() override {
        W::setMenuAnswerHook({});
        hold(W::kVkControl, false);
        hold(W::kVkShift, false);
        coloursHost.reset();
        holder.reset();
        shortcuts.reset();
        refresh.reset();
        if (Edit::EditService* edit = Edit::EditService::instance()) edit->clearProject();
        SettingWindow::TearDown();
    }

    static Effect::TextInput& textOf(const std::shared_ptr<Edit::Object>& o) {
        return static_cast<Effect::TextInput&>(*o->effects.front());
    }
    void focus(const std::shared_ptr<Edit::Object>& o) {
        const auto scope = Edit::EditService::instance()->openSection();
        scope->scene->focusObject = o;
        scope->focusChanged = true;
    }
    // Shows the panel the way the Display menu does.
    void open() {
        service->makeRoomForClient(*panel);
        panel->show(true);
        service->updateLayout();
        ASSERT_GT(panel->clientRect.h, 0);
    }
    EffectTextSettingControl& editor() { return panel->editor(); }
    void clickEditor() {
        const Window::MouseRect& r = editor().fullRect;
        driver.run({{Input::Move, r.x + 10, r.y + r.h - 10}, {Input::Press, r.x + 10, r.y + r.h - 10},
                    {Input::Release, r.x + 10, r.y + r.h - 10}});
    }
    static Window::WindowMouseService& router() { return *Window::WindowMouseService::get(); }
    static void type(const std::u16string& units) {
        for (char16_t u : units) router().dispatch(router().window, W::kWmChar, u, 0);
    }
    static void hold(uint32_t vk, bool down) {
        W::Message m;
        m.message = down ? W::kWmKeyDown : W::kWmKeyUp;
        m.wParam = vk;
        W::KeyMap::noteRetrieved(m);
        W::KeyMap::noteEvent(vk, down);
    }
    static bool key(uint32_t vk, bool ctrl = false, bool shift = false) {
        hold(W::kVkControl, ctrl);
        hold(W::kVkShift, shift);
        const bool taken = router().dispatch(router().window, W::kWmKeyDown, vk, 0);
        hold(W::kVkShift, false);
        hold(W::kVkControl, false);
        return taken;
    }
    // Types the text into the bound editor from an empty one, the caret
    // then moved back by `back` characters, `select` of them selected.
    void enter(const std::u16string& value, int32_t back = 0, int32_t select = 0) {
        clickEditor();
        type(u"\x01");  // Ctrl+A: all selected
        key(W::kVkDelete);
        type(value);
        for (int32_t i = 0; i < back; ++i) key(W::kVkLeft);
        for (int32_t i = 0; i < select; ++i) key(W::kVkRight, false, true);
    }
    // Answers the next popup with the entry whose label starts with the
    // prefix (none when empty) and keeps what it offered.
    void answerMenus(const std::string& prefix) {
        W::setMenuAnswerHook([this, prefix](W::MenuHandle menu, const W::Point&) {
            offered.clear();
            uint32_t chosen = 0;
            for (int32_t i = 0; i < W::getMenuItemCount(menu); ++i) {
                std::string label;
                W::getMenuStringAt(menu, i, label);
                offered.push_back(label);
                if (!prefix.empty() && chosen == 0 && label.rfind(prefix, 0) == 0)
                    chosen = static_cast<uint32_t>(W::getMenuItemId(menu, i));
            }
            return chosen;
        });
    }
    std::wstring itemText() { return textOf(textObject).text.text; }

    std::optional<System::HookScope<Edit::UpdateSection::PanelRefresh>> refresh;
    std::optional<System::ServiceHolder<Window::ShortcutList>> shortcuts;
    std::optional<System::ServiceHolder<EffectTextSettingComponent>> holder;
    EffectTextSettingComponent* panel = nullptr;
    Window::Host colours;
    std::optional<System::HookScope<const Window::Host*>> coloursHost;
    std::shared_ptr<Edit::Object> textObject, otherObject;
    std::vector<std::string> offered;
};

TEST_F(TextPanel, BindsTheTextOfAFocusedTextObjectOnlyWhileShown) {
    EXPECT_EQ(panel->sectionName(), "Window.setting.text");
    EXPECT_FALSE(panel->shown()) << "hidden at first";
    focus(textObject);
    EXPECT_FALSE(editor().bound()) << "a hidden panel does not follow the focus";

    open();
    ASSERT_TRUE(editor().bound()) << "showing binds the focused text";
    EXPECT_EQ(editor().text, L"abc");
    EXPECT_EQ(editor().caret, 0);
    EXPECT_TRUE(editor().enabled);
    EXPECT_EQ(panel->header().title.textBrush, Window::StyleBrushList::Text);

    const struct {
        const char* name;
        std::shared_ptr<Edit::Object> object;
        bool bound;
        std::wstring text;
    } steps[] = {
        {"an effect named like the text source", otherObject, false, L""},
        {"the text object again", textObject, true, L"abc"},
        {"no focus", nullptr, false, L""},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        focus(s.object);
        EXPECT_EQ(editor().bound(), s.bound);
        EXPECT_EQ(editor().enabled, s.bound);
        EXPECT_EQ(editor().text, s.text);
        EXPECT_EQ(panel->header().title.textBrush,
                  s.bound ? Window::StyleBrushList::Text : Window::StyleBrushList::TextDisable);
    }

    // The close button hides the panel and lets the text go.
    focus(textObject);
    const Window::MouseRect& close = panel->header().closeButton.fullRect;
    driver.run({{Input::Move, close.x + close.w / 2, close.y + close.h / 2},
                {Input::Press, close.x + close.w / 2, close.y + close.h / 2},
                {Input::Release, close.x + close.w / 2, close.y + close.h / 2}});
    EXPECT_FALSE(panel->shown());
    EXPECT_FALSE(editor().bound());
}

TEST_F(TextPanel, TheOptionShowsTheHiddenPanelForATextObjectOnly) {
    // Chosen from the panel's context menu while it is shown.
    open();
    W::setMenuAnswerHook([](W::MenuHandle menu, const W::Point&) -> uint32_t {
        for (int32_t i = 0; i < W::getMenuItemCount(menu); ++i) {
            const W::MenuHandle sub = W::getSubMenu(menu, i);
            if (sub == nullptr) continue;
            for (int32_t k = 0; k < W::getMenuItemCount(sub); ++k) {
                std::string label;
                W::getMenuStringAt(sub, k, label);
                if (label == "テキストオブジェクトのフォーカス時にウィンドウを表示")
                    return static_cast<uint32_t>(W::getMenuItemId(sub, k));
            }
        }
        return 0;
    });
    W::Point p{panel->clientRect.x + 20, panel->clientRect.y + panel->clientRect.h - 3};
    W::clientToScreen(service->window, p);
    router().dispatch(router().window, W::kWmContextMenu, 0, W::makeLParam(p.x, p.y));
    W::setMenuAnswerHook({});
    ASSERT_EQ(panel->showWindowFocusTextObject, 1);
    panel->show(false);
    service->updateLayout();

    focus(otherObject);
    EXPECT_FALSE(panel->shown()) << "not for another object";
    focus(textObject);
    EXPECT_TRUE(panel->shown()) << "shown for a text object";
    EXPECT_TRUE(editor().bound());
    EXPECT_EQ(editor().text, L"abc");
    EXPECT_GT(panel->clientRect.h, 0);
}

TEST_F(TextPanel, EachChangeIsOneUndoStepAndTheUndoKeysStepThroughTheTextOnly) {
    focus(textObject);
    open();
    Undo::UndoService& undo = *Undo::UndoService::get();
    clickEditor();
    key(W::kVkEnd, true);
    type(u"日本語");
    EXPECT_EQ(itemText(), L"abc日本語");
    type(u"\b");  // Backspace
    EXPECT_EQ(itemText(), L"abc日本");

    // The undo key in the editor: back one change at a time; the editor follows.
    EXPECT_TRUE(key('Z', true));
    EXPECT_EQ(itemText(), L"abc日本語");
    EXPECT_EQ(editor().text, L"abc日本語");
    EXPECT_TRUE(key('Z', true));
    EXPECT_EQ(itemText(), L"abc日本");
    EXPECT_TRUE(key('Z', true, true)) << "redo";
    EXPECT_EQ(itemText(), L"abc日本語");
    EXPECT_EQ(editor().text, L"abc日本語");

    // Another change on top: the undo key is taken and changes nothing.
    {
        const auto scope = Edit::EditService::instance()->openSection();
        undo.openRecord(*scope);
        undo.addEffectUndoUpdate(otherObject->effects.front());
        static_cast<ItemsEffect&>(*otherObject->effects.front()).number.values[0] = 5;
    }
    EXPECT_TRUE(key('Z', true));
    EXPECT_EQ(itemText(), L"abc日本語");
    EXPECT_EQ(static_cast<ItemsEffect&>(*otherObject->effects.front()).number.values[0], 5);

    // The full undo reaches the text too, and the editor shows it.
    ASSERT_TRUE(undo.undo());
    ASSERT_TRUE(undo.undo());
    EXPECT_EQ(itemText(), L"abc日本");
    EXPECT_EQ(editor().text, L"abc日本");
}

TEST_F(TextPanel, TheTagMenuWrapsTheSelectionOrInsertsAtTheCaretAndSelectsTheParameter) {
    focus(textObject);
    open();
    const struct {
        const char* label;
        std::u16string typed;
        int32_t back, select;
        std::wstring text, selected;
    } cases[] = {
        {"サイズ変更(&S)", u"ab word", 4, 4, L"ab <s40>word<s>", L"40"},
        {"表示ウェイト(&W)", u"abcd", 2, 0, L"ab<w2>cd", L"2"},
        {"色変更(&C)", u"xy", 2, 2, L"<#ffffff>xy<#>", L"ffffff"},
        {"座標指定(&P)", u"", 0, 0, L"<p+0,+0>", L"+0,+0"},
        {"表示クリア(&E)", u"ab", 1, 1, L"a<c2>b", L"2"},  // no closing tag
        {"フォント変更(&F)", u"z", 0, 0, L"z<@メイリオ>", L"メイリオ"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        enter(c.typed, c.back, c.select);
        answerMenus(c.label);
        EXPECT_TRUE(key(W::kVkSpace, true));
        EXPECT_EQ(offered.size(), 7u);
        EXPECT_EQ(editor().text, c.text);
        EXPECT_EQ(editor().selectedText(), c.selected);
        EXPECT_EQ(itemText(), c.text) << "committed";
    }
    ASSERT_GE(offered.size(), 1u);
    EXPECT_EQ(offered[0], "色変更(&C)\t<#ffffff>");

    // Inserting a tag is one step of its own.
    enter(u"q");
    answerMenus("表示ウェイト");
    key(W::kVkSpace, true);
    EXPECT_EQ(itemText(), L"q<w2>");
    EXPECT_TRUE(key('Z', true));
    EXPECT_EQ(itemText(), L"q");
}

TEST_F(TextPanel, CtrlSpaceInATagsColourOrFontFieldSelectsTheFieldAndOffersItsMenu) {
    focus(textObject);
    open();
    enum Menu { Tags, Colours, Fonts };
    const struct {
        const char* name;
        std::u16string typed;
        int32_t back;
        Menu menu;
        std::wstring selected;
        std::wstring afterChoice;  // the text once the first colour is chosen
    } cases[] = {
        {"the first of two colours", u"<#ff0000,00ff00>", 12, Colours, L"ff0000", L"<#0080ff,00ff00>"},
        {"the second of two colours", u"<#ff0000,00ff00>", 3, Colours, L"00ff00", L"<#ff0000,0080ff>"},
        {"the end of the first colour", u"<#ff0000,00ff00>", 8, Colours, L"ff0000", L"<#0080ff,00ff00>"},
        {"a third colour", u"<#ff0000,00ff00,0000ff>", 2, Tags, L"", L""},
        {"an empty colour tag", u"<#>", 1, Colours, L"", L"<#>"},
        {"the caret before the tag", u"a<#ff0000>", 9, Tags, L"", L""},
        {"the caret after the tag", u"<#ff0000>", 0, Tags, L"", L""},
        {"a font tag", u"<@Serif>b", 3, Fonts, L"Serif", L""},
        {"the font of a size tag", u"<s40,Serif>", 2, Fonts, L"Serif", L""},
        {"the size of a size tag", u"<s40,Serif>", 8, Tags, L"", L""},
        {"a tag over two lines", u"<#ff\r00>", 2, Tags, L"", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        enter(c.typed, c.back);
        const std::wstring before = editor().text;
        answerMenus(c.menu == Colours ? "青" : "");
        EXPECT_TRUE(key(W::kVkSpace, true));
        const bool tagMenu = !offered.empty() && offered[0].rfind("色変更(&C)", 0) == 0;
        EXPECT_EQ(tagMenu, c.menu == Tags);
        if (c.menu == Colours) {
            EXPECT_EQ(editor().text, c.afterChoice);
            EXPECT_EQ(itemText(), c.afterChoice);
            if (!c.selected.empty()) EXPECT_EQ(editor().selectedText(), L"0080ff") << "the inserted colour";
        } else {
            EXPECT_EQ(editor().text, before) << "nothing chosen";
            EXPECT_EQ(editor().selectedText(), c.selected);
        }
    }
}

TEST_F(TextPanel, TheEditorLetsGoOfAnObjectThatLeftItsLayer) {
    focus(textObject);
    open();
    ASSERT_TRUE(editor().bound());
    {
        const auto scope = Edit::EditService::instance()->openSection();
        textObject->layer = -1;
        scope->textSettingChanged = true;
    }
    EXPECT_FALSE(editor().bound());
    EXPECT_EQ(editor().text, L"");
    EXPECT_EQ(panel->header().title.textBrush, Window::StyleBrushList::TextDisable);
    EXPECT_FALSE(key(W::kVkSpace, true)) << "no menu without a text";
    textObject->layer = 0;
}

}  // namespace
