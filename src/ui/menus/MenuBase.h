#pragma once

namespace Window {
class BaseMenu;
class WindowMenuManager;
}  // namespace Window

namespace Menu {

// Fills one top popup of the menu bar. A builder keeps no state: createMenu
// builds from what the services hold when it runs, so it is run again after
// the bar has been emptied for a language change. Destroying a builder
// leaves its entries in place.
class MenuBase {
public:
    explicit MenuBase(Window::BaseMenu& menu) : menu(menu) {}
    MenuBase(const MenuBase&) = delete;
    MenuBase& operator=(const MenuBase&) = delete;

    // Appends every entry of the popup, top to bottom.
    virtual void createMenu() = 0;

protected:
    ~MenuBase() = default;
    // The menu bar the popup belongs to.
    Window::WindowMenuManager& bar() const;

    Window::BaseMenu& menu;
};

}  // namespace Menu
