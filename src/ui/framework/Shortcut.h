#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "platform/window/Menu.h"

namespace Window {

// One command that can have a key: a menu item of the menu bar, or an action
// of its own. Key codes: bits 0-11 the virtual key, plus the modifier flags.
struct Shortcut {
    static constexpr int32_t AltFlag = 0x1000;
    static constexpr int32_t ShiftFlag = 0x2000;
    static constexpr int32_t CtrlFlag = 0x4000;
    static constexpr int32_t KeyMask = 0xFFF;

    // The command's name as keyboard.ini stores it (untranslated).
    std::wstring name;
    int32_t code = 0;
    int32_t defaultCode = 0;
    std::function<void()> action;
    Platform::window::MenuHandle menuHandle = nullptr;
    int32_t menuId = 0;
    // The name shown to the user (the translated one for menu items).
    std::wstring displayName;

    // "Ctrl+", "Shift+", "Alt+" as flagged, then the key's name; empty (with
    // a warning) for a key without a name, empty for code 0.
    static std::wstring getCodeName(int32_t code);
    // Names a key number (the table covers 0-4095); an empty name is ignored.
    static void setKeyName(int32_t keyNumber, const std::wstring& name);
    static bool hasKeyName(int32_t keyNumber);
};

}  // namespace Window
