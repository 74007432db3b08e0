#pragma once

// The popups of the object settings panel, filled from the menu definitions:
// the block menu's effect lists and switch lists, its alias entry, the number
// rows' movements, the colour rows' preset colours and the font rows' fonts.
// Installed while it lives; what it installed is taken back when it goes, and
// the slots other parts of the program fill are left alone.
namespace App {

class PanelMenus {
public:
    PanelMenus();
    ~PanelMenus();
    PanelMenus(const PanelMenus&) = delete;
    PanelMenus& operator=(const PanelMenus&) = delete;
};

}  // namespace App
