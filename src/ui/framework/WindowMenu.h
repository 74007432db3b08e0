#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "ui/framework/BaseMenu.h"

namespace Window {

// The five top menus of the menu bar.
class WindowMenu {
public:
    enum Position : int32_t { File = 0, Edit = 1, Display = 2, Settings = 3, Other = 4 };
    static constexpr int32_t Count = 5;

    struct TopMenu {
        std::unique_ptr<BaseMenu> menu;
        std::wstring label;  // untranslated
        int32_t position = 0;
        // Sets the translated label as the text of its item in the bar.
        void updateText(Platform::window::MenuHandle bar) const;
    };

    // Appends the five top menus to the bar's root menu, in bar order.
    explicit WindowMenu(BaseMenu& bar);

    // Deletes every item of the five top menus, File first.
    void DeleteMenuItem();
    TopMenu& operator[](int32_t position) { return menus[static_cast<size_t>(position)]; }

    std::array<TopMenu, Count> menus;
};

}  // namespace Window
