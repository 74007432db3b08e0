#pragma once

#include "ui/menus/DisplayMenu.h"
#include "ui/menus/EditMenu.h"
#include "ui/menus/EtcMenu.h"
#include "ui/menus/FileMenu.h"
#include "ui/menus/SettingMenu.h"

namespace Window {
class WindowMenuManager;
}

namespace Menu {

// The builders of the main window's menu bar, in bar order. Made after every
// panel and released before the window: the bar runs the builders once now
// and again whenever the language changes.
struct MenuBar {
    explicit MenuBar(Window::WindowMenuManager& bar);
    MenuBar(const MenuBar&) = delete;
    MenuBar& operator=(const MenuBar&) = delete;

    FileMenu file;
    EditMenu edit;
    DisplayMenu display;
    SettingMenu setting;
    EtcMenu etc;
};

}  // namespace Menu
