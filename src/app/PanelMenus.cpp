#include "app/PanelMenus.h"

#include "effect/EffectBase.h"
#include "effect/PresetColorDefine.h"
#include "media/gpu/FontManager.h"
#include "ui/framework/EffectListMenu.h"
#include "ui/panels/timeline/ObjectAliasSave.h"
#include "ui/framework/Host.h"

namespace App {

void addPanelMenus(Window::Host& menus) {
    menus.filterEffect = [](Window::BaseMenu& menu, const std::shared_ptr<Edit::Object>& object, int32_t list,
                            uint8_t filter, const Effect::EffectBase* position) {
        Menu::addFilterEffectMenu(menu, object, static_cast<uint8_t>(list), filter, position);
    };
    menus.switchFilter = [](Window::BaseMenu& menu, const std::shared_ptr<Edit::Object>& object,
                            const std::shared_ptr<Effect::EffectBase>& effect) {
        if (effect) Menu::addSwitchFilterMenu(menu, object, *effect);
    };
    menus.switchObject = [](Window::BaseMenu& menu, const std::shared_ptr<Edit::Object>& object,
                            const std::shared_ptr<Effect::EffectBase>& effect) {
        if (effect) Menu::addSwitchObjectMenu(menu, object, *effect);
    };
    menus.switchSceneChange = [](Window::BaseMenu& menu, const std::shared_ptr<Edit::Object>& object,
                                 const std::shared_ptr<Effect::EffectBase>& effect) {
        if (effect) Menu::addSwitchSceneChangeMenu(menu, object, *effect);
    };
    // The first block saves the whole object (without its frames, as it is not
    // saved from the timeline); any other block its own effect.
    menus.saveAlias = [](const std::shared_ptr<Edit::Object>& object,
                         const std::shared_ptr<Effect::EffectBase>& effect) {
        if (!object) return;
        if (effect)
            (void)Component::saveEffectAlias(object, *effect);
        else
            (void)Component::saveObjectAlias(object, false);
    };
    menus.movement = &Menu::addMovementMenu;
    menus.colorPresetMenu =
        [](Window::BaseMenu& menu, std::function<void(float r, float g, float b)> choose) {
            Menu::addPresetColorMenu(menu, [choose = std::move(choose)](const Effect::PresetColorDefine& preset) {
                choose(preset.color.r, preset.color.g, preset.color.b);
            });
        };
    // The text panel's colour tags take the preset colours as their digits.
    menus.textPresetColorMenu =
        [](Window::BaseMenu& menu, const std::function<void(const Media::ColorBytes&)>& choose) {
            Menu::addPresetColorMenu(menu, [choose](const Effect::PresetColorDefine& preset) {
                choose(Media::rgbToBytes(preset.color.r, preset.color.g, preset.color.b));
            });
        };
    menus.fontMenu =
        [](Window::BaseMenu& menu, const std::wstring& current, std::function<void(const wchar_t* family)> choose) {
            Menu::addFontMenu(
                menu, [choose = std::move(choose)](const Media::FontDefine& font) { choose(font.fontName.c_str()); },
                current);
        };
}

}  // namespace App
