#pragma once
#include <cstdint>

#include "platform/window/Message.h"

// The desktop's input and display settings the window code reads. With GTK
// they come from its settings; without a display the usual desktop defaults.
namespace Platform::window {

inline constexpr int kSmCxScreen = 0;
inline constexpr int kSmCyScreen = 1;
inline constexpr int kSmCyCursor = 14;
inline constexpr int kSmCxDoubleClk = 36;
inline constexpr int kSmCyDoubleClk = 37;
inline constexpr int kSmCxDrag = 68;
inline constexpr int kSmCyDrag = 69;
// The rectangle around every monitor, in screen coordinates.
inline constexpr int kSmXVirtualScreen = 76;
inline constexpr int kSmYVirtualScreen = 77;
inline constexpr int kSmCxVirtualScreen = 78;
inline constexpr int kSmCyVirtualScreen = 79;

int32_t getSystemMetrics(int index);
uint32_t getDoubleClickTime();
// Time between showing and hiding the caret; 0xFFFFFFFF when it does not blink.
uint32_t getCaretBlinkTime();
uint32_t mouseHoverTime();
// Key repeat delay as 0 (250 ms) .. 3 (1 s) and repeat speed as 0 .. 31.
uint32_t keyboardDelay();
uint32_t keyboardSpeed();
uint32_t getDpiForSystem();
// The dots per inch the program scales its layout for: the display's
// resolution and the scale factor of its primary monitor, with the desktop's
// variables as overrides (Platform::os::systemDpi); without a display the
// variables alone.
uint32_t desktopDpi();
uint32_t getDpiForWindow(WindowHandle window);

}  // namespace Platform::window
