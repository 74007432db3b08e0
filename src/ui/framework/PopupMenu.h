#pragma once
#include <cstdint>
#include <functional>

#include "platform/window/Message.h"
#include "ui/framework/RootMenu.h"

namespace Window {

// A context menu with its own command ids, opened at the cursor.
class PopupMenu : public RootMenu {
public:
    PopupMenu();
    ~PopupMenu() override;

    // Opens the menu at the cursor; runs closing (if given) once it has
    // closed, then the chosen command with inMenuCommand set. The chosen id, or 0.
    int32_t show(const std::function<void()>& closing = {});

    // Where the last popup menu opened, and whether its command is running
    // (dialogs opened then are placed at that point).
    static Platform::window::Point menuPoint;
    static bool inMenuCommand;
    // The main window the menus belong to, and what releases a key hold
    // whose key is up after a menu closed (the input router's).
    static Platform::window::WindowHandle owner;
    using KeyHoldReleaser = std::function<void()>;
    // Returns the one installed before.
    static KeyHoldReleaser setKeyHoldReleaser(KeyHoldReleaser releaser);
};

}  // namespace Window
