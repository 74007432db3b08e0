#pragma once
#include <cstdint>

#include "platform/os/SystemInfo.h"

// The pointer and the screen under it, and the desktop's input timings as
// the toolkit and the keyboard report them.
namespace Platform::window {

// Moves the pointer to a screen position; false without a display.
bool setCursorPos(int32_t x, int32_t y);
// Red, green and blue of the screen pixel at a screen position; false when
// it cannot be read.
bool screenPixel(int32_t x, int32_t y, uint8_t rgb[3]);
// Double-click time and distance, drag threshold and caret blink from the
// GTK settings, key repeat from the keyboard; the usual defaults where a
// value cannot be read.
Result inputTimings(os::InputTimings& out);

}  // namespace Platform::window
