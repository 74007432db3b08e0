#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/Color.h"

namespace Edit {
class Object;
}
namespace Effect {
class EffectBase;
class EffectItemColor;
class EffectItemNumber;
}  // namespace Effect

namespace Window {

class BaseMenu;

// What the panels ask of the program above them: the popups filled from the
// menu definitions, the setting panels they open one another with, and the
// dialogs they show. The program fills it once and installs it (through a
// HookScope) while the panels live. Each slot may be empty; what an empty
// slot means is said beside it.
struct Host {
    // The effects of a list (1 sources, 2 outputs, 201 filters) for the
    // object, filtered by a media or placement code; a chosen filter is added
    // after `position`, a chosen source or output replaces the object's own.
    // Empty: the settings panel's submenus stay empty.
    std::function<void(BaseMenu& menu, const std::shared_ptr<Edit::Object>& object, int32_t list, uint8_t filter,
                       const Effect::EffectBase* position)>
        filterEffect;
    // The effects of the same label to switch a block's effect to.
    using Switch = std::function<void(BaseMenu& menu, const std::shared_ptr<Edit::Object>& object,
                                      const std::shared_ptr<Effect::EffectBase>& effect)>;
    Switch switchFilter, switchObject, switchSceneChange;
    // Saves the object (no effect) or one effect of it as an alias.
    std::function<void(const std::shared_ptr<Edit::Object>& object, const std::shared_ptr<Effect::EffectBase>& effect)>
        saveAlias;
    // The movements offered for a number item, the current one marked;
    // empty: the rows list the registered movements themselves.
    std::function<void(BaseMenu& menu, const std::shared_ptr<Edit::Object>& object, Effect::EffectItemNumber& item)>
        movement;
    // Binds the time-control panel to a number item and shows it.
    std::function<void(const std::shared_ptr<Edit::Object>& object, Effect::EffectItemNumber& item)> editTimeControl;

    // The preset colours for a colour row; a chosen entry calls choose with
    // its colour (floats 0..1). Empty: no preset menu.
    std::function<void(BaseMenu& menu, std::function<void(float r, float g, float b)> choose)> colorPresetMenu;
    // The preset colours for the text panel's colour tags; empty: the colour
    // field menu is empty.
    std::function<void(BaseMenu& popup, const std::function<void(const Media::ColorBytes&)>& choose)>
        textPresetColorMenu;
    // The user's font entries, the current family marked; a chosen entry
    // calls choose with its family (null: the default). Empty: the menu lists
    // every family of the font list.
    std::function<void(BaseMenu& menu, const std::wstring& current, std::function<void(const wchar_t* family)> choose)>
        fontMenu;
    // Binds the colour setting panel to a colour item and shows it, and makes
    // it re-read the bound item. Empty: the colour rows' name button has no icon.
    std::function<void(const std::shared_ptr<Edit::Object>& object, Effect::EffectItemColor& item)> editColor;
    std::function<void()> colorChanged;

    // The log settings dialog; empty: its log panel item is grayed.
    std::function<void()> logSettingDialog;
};

// The installed host (all slots empty when none is); setHost returns the one
// installed before. Not owned.
const Host& host();
const Host* setHost(const Host* host);

}  // namespace Window
