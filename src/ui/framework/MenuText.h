#pragma once
#include <cstdint>
#include <string>

#include "platform/window/Menu.h"

namespace Window {

// Item texts of the menus: the label, then an optional tab and the key name.
class MenuText {
public:
    // The text through the translation service's menu table (itself without one).
    static std::wstring translate(const std::wstring& text);
    // Keeps the text up to its first tab and appends a tab and the key name
    // when it is not empty.
    static void setShortcutText(Platform::window::MenuHandle menu, int32_t id, const std::wstring& keyName);
    // Replaces the text before the tab part, keeping the tab part.
    static void setItemText(Platform::window::MenuHandle menu, int32_t id, const std::wstring& text);
    // The item's text, or empty.
    static std::wstring getItemText(Platform::window::MenuHandle menu, int32_t id);
};

}  // namespace Window
