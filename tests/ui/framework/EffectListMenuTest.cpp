// The popups built from the effect, alias, movement and font entries: which
// entries each lists, their submenus and marks as the popup holds them, and
// what choosing an entry asks of the edit side, the popup answered through
// the window layer's menu hook.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "core/TextConvert.h"
#include "edit/Object.h"
#include "effect/EffectBase.h"
#include "effect/EffectDefine.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectService.h"
#include "effect/MovementBase.h"
#include "effect/MovementDefine.h"
#include "effect/MovementParamsManager.h"
#include "effect/PaletteManager.h"
#include "effect/ObjectCommands.h"
#include "media/gpu/Direct2DService.h"
#include "media/gpu/FontManager.h"
#include "platform/window/Menu.h"
#include "support/ActiveLanguage.h"
#include "ui/framework/DockFixture.h"
#include "ui/framework/EffectListMenu.h"
#include "ui/framework/PopupMenu.h"

namespace {

namespace W = Platform::window;

class MenuEffect : public Effect::EffectBase {
public:
    MenuEffect(const wchar_t* effectName, uint8_t effectRole, uint8_t effectMedia, uint8_t effectPlacement,
               const wchar_t* group) {
        name = effectName;
        role = effectRole;
        media = effectMedia;
        placement = effectPlacement;
        menuGroup = group;
        move = std::make_unique<Effect::EffectItemNumber>(&items, L"X", 0, -100, 100, 1);
    }
    std::shared_ptr<Effect::EffectBase> createInstance() const override {
        return std::make_shared<MenuEffect>(name, role, media, placement, menuGroup);
    }
    std::unique_ptr<Effect::EffectItemNumber> move;
};

// Registered in this order, so this is also the menu order.
class MenuCatalog : public Effect::EffectService::Catalog {
public:
    void registerLeading(Effect::EffectService& service) override {
        using E = Effect::EffectBase;
        service.registerEffect<MenuEffect>(L"画像", E::kInput, E::kVideo, E::kVideo, L"入力");
        service.registerEffect<MenuEffect>(L"音声", E::kInput, E::kAudio, E::kAudio, L"入力");
        service.registerEffect<MenuEffect>(L"描画", E::kOutput, E::kVideo, E::kVideo, L"");
        service.registerEffect<MenuEffect>(L"ぼかし", E::kFilter, E::kVideo, E::kVideo, L"装飾");
        service.registerEffect<MenuEffect>(L"音量", E::kFilter, E::kAudio, E::kAudio, L"音声効果");
        service.registerEffect<MenuEffect>(L"反転", E::kFilter, E::kVideoAudio, E::kVideoAudio, L"");
        service.registerEffect<MenuEffect>(L"縁取り", E::kFilter, E::kVideo, E::kVideo, L"装飾");
        service.registerEffect<MenuEffect>(L"視点", E::kFilter, E::kCamera, E::kCamera, L"カメラ");
        service.registerEffect<MenuEffect>(L"ワイプ", E::kControl, E::kVideo, E::kSceneChange, L"切替");
        service.registerEffect<MenuEffect>(L"フェード", E::kControl, E::kVideo, E::kSceneChange, L"切替");
        service.registerEffect<MenuEffect>(L"カメラ制御", E::kControl, E::kCamera, E::kCamera, L"切替");
    }
    void registerTrailing(Effect::EffectService&) override {}
};

// What the menu entries ask of the edit side.
class RecordedCommands : public Effect::ObjectCommands {
public:
    std::vector<std::string> calls;
    void createObject(const std::wstring& name, int32_t layer, int32_t frame) override {
        calls.push_back("create " + System::wideToUtf8(name) + " " + std::to_string(layer) + " " +
                        std::to_string(frame));
    }
    void loadObject(const std::wstring& path, int32_t, int32_t) override {
        calls.push_back("load " + System::wideToUtf8(path));
    }
    void setEffect(const std::shared_ptr<Edit::Object>&, const std::wstring& name, int32_t position,
                   bool replace) override {
        calls.push_back("set " + System::wideToUtf8(name) + " at " + std::to_string(position) +
                        (replace ? " replacing" : ""));
    }
    void loadEffect(const std::shared_ptr<Edit::Object>&, const std::wstring& path, int32_t, bool) override {
        calls.push_back("load effect " + System::wideToUtf8(path));
    }
};

// The popup in short: items by text, a submenu as "label[...]", a mark as
// "*" (check) and "o" (radio without the check) after the text.
std::string shape(W::MenuHandle menu) {
    std::string out;
    for (int32_t i = 0; i < W::getMenuItemCount(menu); ++i) {
        std::string text;
        W::getMenuStringAt(menu, i, text);
        out += out.empty() ? "" : " ";
        out += text;
        if (W::MenuHandle sub = W::getSubMenu(menu, i)) {
            if (W::isMenuItemCheckedAt(menu, i)) out += "*";
            out += "[" + shape(sub) + "]";
            continue;
        }
        const auto id = static_cast<uint32_t>(W::getMenuItemId(menu, i));
        if (W::isMenuItemChecked(menu, id))
            out += "*";
        else if (W::isMenuItemRadio(menu, id))
            out += "o";
    }
    return out;
}

// The id of the item with the text, searched through the submenus.
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

// On the main window, where popups open at the pointer.
class EffectListMenuTest : public DockWindow {
protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs a display";
        DockWindow::SetUp();
        previousCatalog_ = Effect::EffectService::setCatalog(&catalog_);
        service = std::make_unique<Effect::EffectService>();
        previousCommands_ = Effect::ObjectCommands::current();
        Effect::ObjectCommands::setCurrent(&commands);
    }
    void TearDown() override {
        if (!service) return;
        W::setMenuAnswerHook({});
        Effect::ObjectCommands::setCurrent(previousCommands_);
        service.reset();
        Effect::EffectService::setCatalog(previousCatalog_);
        DockWindow::TearDown();
    }
    Effect::EffectDefine& define(const wchar_t* name) { return service->findEffect(name); }
    // An object whose chain holds the named effects.
    std::shared_ptr<Edit::Object> object(const std::vector<const wchar_t*>& names) {
        auto made = std::make_shared<Edit::Object>(0, 0, 99);
        for (const wchar_t* name : names) made->effects.push_back(service->getEffect(name));
        return made;
    }
    // Shows the popup and chooses the item with the text (none for an empty text).
    void choose(Window::PopupMenu& popup, const std::string& label) {
        W::setMenuAnswerHook([&](W::MenuHandle menu, const W::Point&) { return idOf(menu, label); });
        popup.show();
        W::setMenuAnswerHook({});
    }

    RecordedCommands commands;
    std::unique_ptr<Effect::EffectService> service;

private:
    MenuCatalog catalog_;
    Effect::EffectService::Catalog* previousCatalog_ = nullptr;
    Effect::ObjectCommands* previousCommands_ = nullptr;
};

TEST_F(EffectListMenuTest, FilterListsFollowTheMediumAndPlaceTheNewFilter) {
    struct Case {
        const char* name;
        uint8_t media;
        const char* shape;
    };
    const Case cases[] = {
        {"every medium", 0, "装飾[ぼかし 縁取り] 音声効果[音量] 反転 カメラ[視点]"},
        {"a picture", 1, "装飾[ぼかし 縁取り] 反転"},
        {"a sound: its filters and those of both media", 2, "音声効果[音量] 反転"},
        {"a camera control: its own filters only", 4, "カメラ[視点]"},
    };
    const auto target = object({L"画像", L"描画", L"ぼかし", L"縁取り"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Window::PopupMenu popup;
        Menu::addFilterEffectMenu(popup, target, 201, c.media, nullptr);
        EXPECT_EQ(shape(popup.menu), c.shape);
    }
    // After a given filter, or at the end without one.
    Window::PopupMenu after;
    Menu::addFilterEffectMenu(after, target, 201, 1, target->effects[2].get());
    choose(after, "反転");
    Window::PopupMenu atEnd;
    Menu::addFilterEffectMenu(atEnd, target, 201, 1, nullptr);
    choose(atEnd, "縁取り");
    EXPECT_EQ(commands.calls, (std::vector<std::string>{"set 反転 at 2", "set 縁取り at -1"}));
}

TEST_F(EffectListMenuTest, LabelsMakeOneSubmenuEachAndHiddenEntriesAreLeftOut) {
    // Two labels met again later join their first submenu; a hidden entry
    // takes its submenu with it when it was the only member.
    define(L"反転").label = L"装飾";
    define(L"音量").hide = 1;
    Window::PopupMenu popup;
    Menu::addFilterEffectMenu(popup, object({L"画像", L"描画"}), 201, 0, nullptr);
    EXPECT_EQ(shape(popup.menu), "装飾[ぼかし 反転 縁取り] カメラ[視点]");
    // The menu order decides the places, inside and outside the submenus.
    define(L"視点").order = -1;
    define(L"縁取り").order = -2;
    define(L"縁取り").label = L"";
    Window::PopupMenu reordered;
    Menu::addFilterEffectMenu(reordered, object({L"画像", L"描画"}), 201, 0, nullptr);
    EXPECT_EQ(shape(reordered.menu), "縁取り カメラ[視点] 装飾[ぼかし 反転]");
}

TEST_F(EffectListMenuTest, SourceAndOutputListsMarkWhatTheObjectHas) {
    const auto target = object({L"画像", L"描画", L"ぼかし"});
    Window::PopupMenu sources;
    Menu::addFilterEffectMenu(sources, target, 1, 0, nullptr);
    EXPECT_EQ(shape(sources.menu), "入力*[画像* 音声]");
    Window::PopupMenu outputs;
    Menu::addFilterEffectMenu(outputs, target, 2, 0, nullptr);
    EXPECT_EQ(shape(outputs.menu), "描画*");
    // A filter object has neither.
    Window::PopupMenu none;
    Menu::addFilterEffectMenu(none, object({L"ぼかし"}), 1, 0, nullptr);
    EXPECT_EQ(shape(none.menu), "入力[画像 音声]");
    choose(sources, "音声");
    EXPECT_EQ(commands.calls, (std::vector<std::string>{"set 音声 at -1"}));
}

TEST_F(EffectListMenuTest, SwitchMenusOfferTheSameLabelAndMedium) {
    const auto target = object({L"画像", L"描画", L"ぼかし", L"反転"});
    Window::PopupMenu filters;
    Menu::addSwitchFilterMenu(filters, target, *target->effects[2]);
    EXPECT_EQ(shape(filters.menu), "ぼかし* 縁取りo");
    choose(filters, "縁取り");
    // An empty label lists every filter without one.
    Window::PopupMenu unlabelled;
    Menu::addSwitchFilterMenu(unlabelled, target, *target->effects[3]);
    EXPECT_EQ(shape(unlabelled.menu), "反転*");
    // A hidden one is absent even when it is the current one; aliases never join.
    define(L"画像").hide = 1;
    Window::PopupMenu sources;
    Menu::addSwitchObjectMenu(sources, target, *target->effects[0]);
    EXPECT_EQ(shape(sources.menu), "");
    define(L"画像").hide = 0;
    Window::PopupMenu both;
    Menu::addSwitchObjectMenu(both, target, *target->effects[0]);
    EXPECT_EQ(shape(both.menu), "画像*") << "a sound source does not pass a picture's medium";
    choose(both, "画像");
    // Scene changes: the camera control shares the label but is no scene change.
    const auto change = object({L"ワイプ"});
    Window::PopupMenu changes;
    Menu::addSwitchSceneChangeMenu(changes, change, *change->effects[0]);
    EXPECT_EQ(shape(changes.menu), "ワイプ* フェードo");
    choose(changes, "フェード");
    EXPECT_EQ(commands.calls,
              (std::vector<std::string>{"set 縁取り at 2 replacing", "set 画像 at -1", "set フェード at -1"}));
}

TEST_F(EffectListMenuTest, TheMovementMenuMarksTheCurrentMovementAndItsSubmenu) {
    std::vector<const Effect::MovementDefine*> movements = service->getMovementMenuList();
    ASSERT_GE(movements.size(), 3u);
    auto* current = const_cast<Effect::MovementDefine*>(movements[1]);
    current->label = L"基本";
    const auto target = object({L"画像", L"描画"});
    auto& item = *static_cast<MenuEffect&>(*target->effects[0]).move;
    item.movement = current->movement().get();
    Window::PopupMenu popup;
    Menu::addMovementMenu(popup, target, item);
    const std::string shown = shape(popup.menu);
    const std::string name = System::wideToUtf8(current->getDisplayName());
    EXPECT_NE(shown.find("基本*[" + name + "*]"), std::string::npos) << shown;
    EXPECT_EQ(shown.find(System::wideToUtf8(movements[0]->getDisplayName()) + "*"), std::string::npos) << shown;
    // The item may take movements out of its menu.
    const Effect::MovementDefine* kept = movements[0];
    item.movementListAdjuster = [kept](std::vector<const Effect::MovementDefine*>& list) { list = {kept}; };
    Window::PopupMenu narrowed;
    Menu::addMovementMenu(narrowed, target, item);
    EXPECT_EQ(shape(narrowed.menu), System::wideToUtf8(movements[0]->getDisplayName()));
}

TEST_F(EffectListMenuTest, TheFontMenuMarksTheFontsOfTheCurrentNameOnly) {
    const auto fonts = Media::Direct2DService::get()->fontManager.getFontListByName();
    ASSERT_GE(fonts.size(), 2u);
    // Fonts without a name in the user's language start hidden.
    for (size_t i = 0; i < 2; ++i) const_cast<Media::FontDefine*>(fonts[i])->hide = false;
    const std::wstring current = fonts[1]->getName();
    std::wstring chosen;
    Window::PopupMenu popup;
    Menu::addFontMenu(
        popup, [&](const Media::FontDefine& font) { chosen = font.getName(); }, current);
    const std::string shown = shape(popup.menu);
    const std::string name = System::wideToUtf8(current);
    EXPECT_NE(shown.find(name + "*"), std::string::npos) << shown;
    EXPECT_EQ(std::count(shown.begin(), shown.end(), '*'), 1) << shown;
    // A name that only begins like the current one is not marked.
    Window::PopupMenu prefix;
    Menu::addFontMenu(
        prefix, [](const Media::FontDefine&) {}, current.substr(0, current.size() - 1));
    EXPECT_EQ(shape(prefix.menu).find('*'), std::string::npos);
    choose(popup, System::wideToUtf8(fonts[0]->getName()));
    EXPECT_EQ(chosen, fonts[0]->getName());
}

TEST_F(EffectListMenuTest, PresetAndColourMenusGroupByLabelAndHandTheChosenEntryOver) {
    writeFile(appData() / "Default" / "curves.params", "ease=1,0.5\r\nsharp=2\r\nslow=3\r\n");
    Effect::MovementParamsManager& presets = *Effect::MovementParamsManager::get();
    presets.loadMovementParams();
    const auto preset = [&](const wchar_t* key) { return const_cast<Effect::MovementParamsDefine*>(presets.find(key)); };
    preset(L"ease@curves")->label = L"曲線";
    preset(L"slow@curves")->label = L"曲線";
    std::vector<double> values;
    Window::PopupMenu curves;
    Menu::addMovementParamsMenu(curves, [&](const Effect::MovementParamsDefine& p) { values = p.values; });
    EXPECT_EQ(shape(curves.menu), "曲線[ease@curves slow@curves] sharp@curves");
    choose(curves, "slow@curves");
    EXPECT_EQ(values, (std::vector<double>{3}));
    preset(L"sharp@curves")->hide = 1;
    Window::PopupMenu fewer;
    Menu::addMovementParamsMenu(fewer, [](const Effect::MovementParamsDefine&) {});
    EXPECT_EQ(shape(fewer.menu), "曲線[ease@curves slow@curves]");

    // The built-in palette's named colours.
    Effect::PaletteManager& palettes = *Effect::PaletteManager::get();
    for (Effect::PresetColorDefine* color : palettes.getPresetColorMenuList()) {
        if (color->name == L"red" || color->name == L"blue") color->label = L"原色";
        if (color->name == L"black") color->hide = 1;
    }
    std::string chosen;
    Window::PopupMenu colours;
    Menu::addPresetColorMenu(colours, [&](const Effect::PresetColorDefine& c) {
        chosen = System::wideToUtf8(c.name) + " " + std::to_string(c.color.r) + "," + std::to_string(c.color.g) + "," +
                 std::to_string(c.color.b);
    });
    EXPECT_EQ(shape(colours.menu), "white 原色[red blue] yellow green aqua magenta");
    choose(colours, "blue");
    EXPECT_EQ(chosen, "blue 0.000000,0.000000,1.000000");
}

// Labels are compared as shown in the menus that group by them, and as
// stored in the switch menus.
TEST(EffectListMenuLanguage, TranslatedLabelsMergeWhileSwitchMenusCompareTheStoredOnes) {
    ActiveLanguage language("[Effect]\n音声効果=装飾\n");
    MenuCatalog catalog;
    Effect::EffectService::Catalog* previous = Effect::EffectService::setCatalog(&catalog);
    {
        Effect::EffectService service;
        service.findEffect(L"反転").label = L"音声効果";
        auto target = std::make_shared<Edit::Object>(0, 0, 99);
        for (const wchar_t* name : {L"画像", L"描画", L"ぼかし"}) target->effects.push_back(service.getEffect(name));
        Window::PopupMenu popup;
        Menu::addFilterEffectMenu(popup, target, 201, 0, nullptr);
        EXPECT_EQ(shape(popup.menu), "装飾[ぼかし 音量 反転 縁取り] カメラ[視点]");
        Window::PopupMenu switches;
        Menu::addSwitchFilterMenu(switches, target, *target->effects[2]);
        EXPECT_EQ(shape(switches.menu), "ぼかし* 縁取りo");
    }
    Effect::EffectService::setCatalog(previous);
}

}  // namespace
