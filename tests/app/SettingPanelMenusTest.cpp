// The object settings panel's popups in the running program: the block menu
// adds a filter after its block and saves aliases, the switch button offers
// the filters of the same label, the colour row's name button offers the
// preset colours, the font row's the fonts, and a click on a key anchor shows
// that key's section in the panel. The popups are opened through the input
// router and answered by the window layer's menu hook.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "ProgramMenuFixture.h"
#include "app/Application.h"
#include "core/EventService.h"
#include "core/FileName.h"
#include "core/TextConvert.h"
#include "edit/EditService.h"
#include "edit/Object.h"
#include "edit/ObjectCreateCommands.h"
#include "edit/ObjectSectionCommands.h"
#include "edit/Scene.h"
#include "edit/UpdateSection.h"
#include "effect/AnchorCommands.h"
#include "effect/EffectBase.h"
#include "effect/EffectItem.h"
#include "effect/EffectItemColor.h"
#include "effect/EffectItemFontSelect.h"
#include "media/gpu/Direct2DService.h"
#include "media/gpu/FontManager.h"
#include "platform/window/Menu.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/TopLevel.h"
#include "support/RouterDriver.h"
#include "support/ScriptedBoxes.h"
#include "support/ScriptedDialogs.h"
#include "ui/controls/WindowControl.h"
#include "ui/dialogs/DialogTemplate.h"
#include "ui/framework/WindowMouseService.h"
#include "ui/framework/WindowMenu.h"
#include "ui/framework/WindowService.h"
#include "ui/settings/EffectItemColorControl.h"
#include "ui/settings/EffectItemFontSelectControl.h"
#include "ui/settings/EffectSetting.h"
#include "ui/settings/SettingComponent.h"

namespace fs = std::filesystem;
namespace W = Platform::window;
using TestSupport::Input;

namespace {

class SettingPanelMenus : public ProgramMenuFixture {
protected:
    SettingPanelMenus() : ProgramMenuFixture("panelmenus") {}
};

// The id of the first item with the text, the submenus searched in turn; 0 when none.
uint32_t idOf(W::MenuHandle menu, const std::string& label) {
    for (int32_t i = 0; i < W::getMenuItemCount(menu); ++i) {
        if (W::MenuHandle sub = W::getSubMenu(menu, i)) {
            if (const uint32_t id = idOf(sub, label)) return id;
            continue;
        }
        std::string text;
        W::getMenuStringAt(menu, i, text);
        if (text == label) return static_cast<uint32_t>(W::getMenuItemId(menu, i));
    }
    return 0;
}

// The next popup is kept in short and its item with the text (none: nothing) is chosen.
struct MenuAnswer {
    std::string shown;
    explicit MenuAnswer(std::string label) {
        W::setMenuAnswerHook([this, label](W::MenuHandle menu, const W::Point&) -> uint32_t {
            shown = shape(menu);
            return label.empty() ? 0 : idOf(menu, label);
        });
    }
    ~MenuAnswer() { W::setMenuAnswerHook({}); }
};

Component::SettingComponent& panel() { return *Component::SettingComponent::get(); }

// The names of the object's chain, " " between.
std::string chain(const Edit::Object& object) {
    std::string out;
    for (const auto& e : object.effects) out += (out.empty() ? "" : " ") + System::wideToUtf8(e->name);
    return out;
}

void focus(const std::shared_ptr<Edit::Object>& object) {
    const auto scope = Edit::EditService::instance()->openSection();
    scope->scene->focusObject = object;
    scope->focusChanged = true;
}

// A right-click on the header of the panel's block.
void rightClick(const Component::EffectSetting& block) {
    Window::WindowMouseService* router = Window::WindowMouseService::get();
    const Window::MouseRect& r = block.header->fullRect;
    const int32_t x = r.x + r.w / 3, y = r.y + r.h / 2;
    router->dispatch(router->window, W::kWmMouseMove, 0, W::makeLParam(x, y));
    W::Point p{x, y};
    W::clientToScreen(Window::WindowService::get()->window, p);
    router->dispatch(router->window, W::kWmContextMenu, 0, W::makeLParam(p.x, p.y));
}

// A click in the middle of a control.
void click(TestSupport::RouterDriver& driver, const Window::MouseRect& r) {
    const int32_t x = r.x + r.w / 2, y = r.y + r.h / 2;
    driver.run({{Input::Move, x, y}, {Input::Press, x, y}, {Input::Release, x, y}});
}

// The wheel over the panel until the whole control shows (the panel is short in the program's first layout).
void reveal(TestSupport::RouterDriver& driver, const Window::WindowControl& control) {
    const Window::MouseRect& area = panel().clientRect;
    for (int i = 0; i < 50 && control.visibleRect.h < control.fullRect.h; ++i) {
        const int32_t delta = control.fullRect.y > area.y + area.h / 2 ? -120 : 120;
        driver.send({Input::Wheel, area.x + area.w / 2, area.y + area.h / 2, delta});
    }
    ASSERT_EQ(control.visibleRect.h, control.fullRect.h) << "the control never came into view";
}

template <class Row>
Row* findRow(const char* itemName) {
    for (const auto& block : panel().blocks)
        for (const auto& row : block->rows)
            if (auto* found = dynamic_cast<Row*>(row.get());
                found != nullptr && System::wideToUtf8(found->getEffectItem()->name) == itemName)
                return found;
    return nullptr;
}

TEST_F(SettingPanelMenus, BlockMenusAddSwitchAndSaveAndTheRowsOfferPresets) {
    namespace Cmd = Edit::EditCommand;
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    for (const char* name : {"whole", "blurred"})
        dialogs.answers.push_back([name](W::DialogWindow& d) {
            d.setText(ScriptedDialogs::field(d, "エイリアス名"), name);
            d.press(Dialog::DialogTemplate::kOkButtonId);
        });
    TestSupport::RouterDriver driver;
    std::string afterAdd, afterSwitch, addMenu, switchMenu, colour, fontBefore, fontAfter, fontMenu;
    std::vector<int> sections;
    int32_t shownAfterClick = -1;
    App::Steps steps = App::programSteps();
    steps.run = [&] {
        Edit::EditService& edit = *Edit::EditService::instance();
        const auto figure = Cmd::createObject(L"図形", 0, 0);
        ASSERT_TRUE(figure);
        focus(figure);
        Window::WindowService::get()->updateLayout();
        ASSERT_EQ(panel().blocks.size(), 1u);

        // The first block's menu: ぼかし goes after the figure's output.
        {
            MenuAnswer answer("ぼかし");
            rightClick(*panel().blocks[0]);
            addMenu = answer.shown;
        }
        afterAdd = chain(*figure);
        ASSERT_EQ(panel().blocks.size(), 2u) << "the panel shows the new filter";

        // The filter's switch button: the filters of the same label, ぼかし marked.
        {
            MenuAnswer answer("");
            panel().blocks[1]->showSwitchMenu();
            switchMenu = answer.shown;
        }
        // "エイリアスを作成" on the first block saves the object, on the filter's the filter.
        {
            MenuAnswer answer("エイリアスを作成");
            rightClick(*panel().blocks[0]);
        }
        reveal(driver, *panel().blocks[1]->header);
        {
            MenuAnswer answer("エイリアスを作成");
            rightClick(*panel().blocks[1]);
        }

        // The colour row's name button: the palette's named colours.
        auto* colourRow = findRow<Component::EffectItemColorControl>("色");
        ASSERT_NE(colourRow, nullptr);
        reveal(driver, colourRow->nameButton);
        {
            MenuAnswer answer("red");
            click(driver, colourRow->nameButton.fullRect);
        }
        auto* item = static_cast<Effect::EffectItemColor*>(colourRow->getEffectItem());
        colour = std::to_string(item->red) + "," + std::to_string(item->green) + "," + std::to_string(item->blue);

        // A text object's font row: the registered fonts, the current one marked.
        const auto text = Cmd::createObject(L"テキスト", 1, 0);
        ASSERT_TRUE(text);
        focus(text);
        Window::WindowService::get()->updateLayout();
        auto* fontRow = findRow<Component::EffectItemFontSelectControl>("フォント");
        ASSERT_NE(fontRow, nullptr);
        auto* font = static_cast<Effect::EffectItemFontSelect*>(fontRow->getEffectItem());
        const auto& fonts = Effect::EffectItemFontSelect::getFontList();
        fontBefore = System::wideToUtf8(fonts.nameOf(font->index));
        std::string other;
        for (const auto& [key, name] : fonts.indexMap)
            if (key != font->index) other = System::wideToUtf8(name);
        // Fonts without a name in the user's language start hidden from the menu.
        for (const std::string& shown : {fontBefore, other})
            if (const Media::FontDefine* entry =
                    Media::Direct2DService::get()->fontManager.find(System::utf8ToWide(shown)))
                const_cast<Media::FontDefine*>(entry)->hide = 0;
        reveal(driver, fontRow->nameButton);
        {
            MenuAnswer answer(other);
            click(driver, fontRow->nameButton.fullRect);
            fontMenu = answer.shown;
        }
        fontAfter = System::wideToUtf8(fonts.nameOf(font->index));
        fontBefore += " -> " + other;

        // A key anchor clicked: the panel shows its section and tells the preview.
        focus(figure);
        Cmd::createSection(figure, (figure->start + figure->end) / 2);
        Event::EventService::get()->settingSectionListeners.add([&](int index) { sections.push_back(index); });
        Effect::AnchorCommands::current()->showSection(*figure, figure->end);
        shownAfterClick = panel().state.currentPoint;
        (void)edit;

        // The Setting menu's entries for the preset, colour and font menus open their dialogs.
        Window::WindowService& windows = *Window::WindowService::get();
        const W::MenuHandle settingMenu = windows.windowMenu[Window::WindowMenu::Settings].menu->menu;
        for (const char* entry : {"時間制御メニューの設定", "プリセット色メニューの設定", "フォントメニューの設定"}) {
            const uint32_t id = idOf(settingMenu, entry);
            ASSERT_NE(id, 0u) << entry;
            W::sendMessage(windows.window, W::kWmCommand, id, 0);
        }
    };
    EXPECT_EQ(App::run(steps), 0);
    EXPECT_EQ(afterAdd, "図形 標準描画 ぼかし");
    EXPECT_NE(addMenu.find("フィルタ効果を追加["), std::string::npos) << addMenu;
    EXPECT_NE(switchMenu.find("ぼかし"), std::string::npos) << switchMenu;
    const fs::path aliases = System::wideToUtf8(System::FileName::getExpandedPath(L"%Alias%"));
    EXPECT_TRUE(fs::exists(aliases / "whole.object")) << dialogs.shown.size();
    EXPECT_TRUE(fs::exists(aliases / "blurred.effect"));
    EXPECT_EQ(colour, "255,0,0");
    EXPECT_NE(fontMenu.find(fontBefore.substr(0, fontBefore.find(" -> "))), std::string::npos) << fontMenu;
    EXPECT_EQ(fontAfter, fontBefore.substr(fontBefore.find(" -> ") + 4));
    EXPECT_EQ(shownAfterClick, 2) << "the object's end is its third key";
    EXPECT_EQ(sections, (std::vector<int>{2}));
    std::vector<std::string> captions;
    for (const auto& shown : dialogs.shown) captions.push_back(shown.caption);
    ASSERT_GE(captions.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(captions.end() - 3, captions.end()),
              (std::vector<std::string>{"時間制御メニューの設定", "プリセット色メニューの設定", "フォントメニューの設定"}));
    EXPECT_TRUE(boxes.shown.empty()) << boxes.shown.front().text;
}

}  // namespace
