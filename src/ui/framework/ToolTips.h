#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/Timer.h"
#include "platform/window/Message.h"

// The one tool tip of the main window, shown by any panel or control at a
// screen point. Its time-out decides how it goes: above 0 it hides itself
// after that many milliseconds; below 0 it follows the cursor and the input
// router hides it on the next move or press; 0 keeps it until hidden.
// UI thread only.
namespace Window {

struct MouseRect;

class ToolTips {
public:
    // Characters a tip shows at most.
    static constexpr size_t TipTextCapacity = 1024;

    // Creates the tip over the main window on first use; throws when it cannot.
    static void initialize();
    // text is looked up in the message table; it is cut at TipTextCapacity - 1
    // characters. A tip that would pass the right edge of the screen moves left.
    static void show(Platform::window::Point point, const wchar_t* text, int32_t timeout);
    static void hide();
    // Hides a shown tip; with cursorBoundOnly only one that follows the cursor.
    static void hideFor(bool cursorBoundOnly);
    // Below the cursor, following it.
    static void showAtCursor(const wchar_t* text);
    // To the right of a control (rect: its full rectangle in main-window client pixels), until hidden.
    static void showBeside(const MouseRect& rect, const wchar_t* text);
    // Under a window for three seconds: the title (looked up) and the text.
    static void showBelow(Platform::window::WindowHandle window, const wchar_t* title, const wchar_t* text);
    // The same under a rectangle of the screen (a dialog's control).
    static void showBelow(const Platform::window::Rect& rect, const wchar_t* title, const wchar_t* text);

    static Platform::window::WindowHandle window;
    static std::wstring text;  // what the tip holds
    static bool shown;
    static int32_t timeout;
    // Lives as long as the process: the queue it is set on may go before static objects do.
    static System::Timer& timer();
};

}  // namespace Window
