#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "platform/window/Menu.h"

namespace Window {

class RootMenu;

// A menu whose items run commands stored under command ids in its root.
class BaseMenu {
public:
    // An appended item; label is the untranslated label of the menu it sits in.
    struct Item {
        Platform::window::MenuHandle menu = nullptr;
        int32_t id = 0;
        std::wstring parentLabel;
        // The item's own untranslated label.
        std::wstring label;
        // Gives the item the radio mark instead of the check mark.
        void setRadioCheck() const;
    };

    // A popup appended to the parent's menu under the translated label.
    BaseMenu(BaseMenu& parent, const std::wstring& label);
    BaseMenu(const BaseMenu&) = delete;
    BaseMenu& operator=(const BaseMenu&) = delete;
    virtual ~BaseMenu() = default;

    // Stores the action under the next id of the root and appends the item.
    Item insertItem(const std::wstring& label, std::function<void()> action);
    void insertSeparator();

    // Position in parent of the item holding sub, or -1.
    static int32_t getSubMenuPosition(Platform::window::MenuHandle parent, Platform::window::MenuHandle sub);

    RootMenu* root = nullptr;
    Platform::window::MenuHandle menu = nullptr;
    // The untranslated label (empty for roots).
    std::wstring label;

protected:
    BaseMenu(RootMenu* root, Platform::window::MenuHandle menu) : root(root), menu(menu) {}
};

}  // namespace Window
