#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/framework/BaseMenu.h"

namespace Edit {
class Object;
}
namespace Effect {
class EffectBase;
class EffectItemNumber;
class MovementParamsDefine;
class PresetColorDefine;
}  // namespace Effect
namespace Media {
class FontDefine;
}

// The popups that list user-editable menu entries (effects, aliases,
// movements, fonts): each function fills a popup or submenu the caller then
// shows, and keeps nothing but the actions stored in the menu.
namespace Menu {
class MenuDefineBase;

// Fills a popup from menu entries: hidden entries are left out, an entry
// with a label (translated while a language is active) goes into the
// submenu of that label (made at the first entry that needs it and appended
// at the end), the others into the popup itself, each keeping the list's
// order. choose runs for the chosen entry. The entry for which isCurrent
// holds is given the radio mark, and so is the item of its submenu.
void addEntryMenu(Window::BaseMenu& popup, const std::vector<MenuDefineBase*>& entries,
                  const std::function<void(MenuDefineBase&)>& choose,
                  const std::function<bool(const MenuDefineBase&)>& isCurrent = {});

// The effects and aliases of an effect list (200 the objects, 201 the filter
// objects) as items that make a new object at the layer and frame.
void addObjectMenu(Window::BaseMenu& popup, int32_t layer, int32_t frame, uint8_t listKind);

// The entries of an effect list for one medium, each added to the object
// after `position` (none: at the end). List 1 marks the object's source,
// list 2 its output.
void addFilterEffectMenu(Window::BaseMenu& popup, const std::shared_ptr<Edit::Object>& object, uint8_t listKind,
                         uint8_t media, const Effect::EffectBase* position);

// Flat lists of the effects sharing the current effect's label (and passing
// its medium) that take its place: filters replace the filter, sources and
// scene changes are set on the object. The current one is marked.
void addSwitchFilterMenu(Window::BaseMenu& popup, const std::shared_ptr<Edit::Object>& object,
                         const Effect::EffectBase& current);
void addSwitchObjectMenu(Window::BaseMenu& popup, const std::shared_ptr<Edit::Object>& object,
                         const Effect::EffectBase& current);
void addSwitchSceneChangeMenu(Window::BaseMenu& popup, const std::shared_ptr<Edit::Object>& object,
                              const Effect::EffectBase& current);

// The movements the number item allows; choosing one sets it on the item
// (and its linked items). The item's current movement is marked. The item
// must outlive the menu.
void addMovementMenu(Window::BaseMenu& popup, const std::shared_ptr<Edit::Object>& object,
                     Effect::EffectItemNumber& item);

// The time-control parameter presets; choose gets the chosen preset (the
// time-control panel puts its values on the curve it edits).
void addMovementParamsMenu(Window::BaseMenu& popup,
                           const std::function<void(const Effect::MovementParamsDefine&)>& choose);

// The preset colours; choose gets the chosen entry.
void addPresetColorMenu(Window::BaseMenu& popup, const std::function<void(const Effect::PresetColorDefine&)>& choose);

// The registered fonts by name; every font named exactly currentName is marked.
void addFontMenu(Window::BaseMenu& popup, const std::function<void(const Media::FontDefine&)>& choose,
                 const std::wstring& currentName);

}  // namespace Menu
