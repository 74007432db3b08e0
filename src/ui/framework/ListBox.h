#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>

#include "platform/window/Message.h"

// The one popup choice list that drop-down controls open under themselves.
// The opener calls initialize, adds the entries in order with their actions,
// may set selectedIndex, then shows it. Choosing an entry runs its action;
// the list closes on Escape, on a click (unless Ctrl is held), and when it
// loses the focus. UI thread only.
namespace Window {

class ListBox {
public:
    // Creates the list on first use (throws when it cannot), empties it and
    // clears the selection.
    static void initialize();
    static void addEntry(const std::wstring& text, std::function<void()> action);
    // At (x, y) in main-window client pixels, offset below it; opens upward
    // when there is not room below on the screen. Nothing when already shown.
    static void show(int32_t x, int32_t y, int32_t width, int32_t offset, void* owner);
    static void hide();
    static void runSelected();
    // Steps the selection (clamped to the entries) and runs it.
    static void moveSelection(int32_t delta);

    static intptr_t listProc(Platform::window::WindowHandle window, uint32_t message, uintptr_t wParam,
                             intptr_t lParam);

    static Platform::window::WindowHandle window;
    static Platform::window::WindowProc previousProc;
    static bool listShown;
    static std::unordered_map<int32_t, std::function<void()>> actions;
    static int32_t selectedIndex;
    static void* listOwner;
};

}  // namespace Window
