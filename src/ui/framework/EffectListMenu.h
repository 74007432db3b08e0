#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "ui/framework/BaseMenu.h"

namespace Menu {
class MenuDefineBase;

// Fills a popup from menu entries: hidden entries are left out, an entry
// with a label goes into the submenu of that label (made at the first entry
// that needs it and appended at the end), the others into the popup itself,
// each keeping the list's order. choose runs for the chosen entry.
void addEntryMenu(Window::BaseMenu& popup, const std::vector<MenuDefineBase*>& entries,
                  const std::function<void(MenuDefineBase&)>& choose);

// The effects and aliases of an effect list (200 the objects, 201 the filter
// objects) as items that make a new object at the layer and frame.
void addObjectMenu(Window::BaseMenu& popup, int32_t layer, int32_t frame, uint8_t listKind);

}  // namespace Menu
