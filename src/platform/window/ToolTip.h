#pragma once
#include <cstdint>
#include <string>

#include "platform/window/Message.h"

// The tracking tool tip: a popup of the owner that shows one text at the
// screen point it is told, its top-left corner there. Line breaks in the
// text start new lines; lines wrap at the maximum width. UI thread only.
namespace Platform::window {

// Hidden until activated; null on failure (lastError set).
WindowHandle createToolTipWindow(WindowHandle owner);
// UTF-8. The window takes the size of the text.
bool setToolTipText(WindowHandle tip, const std::string& text);
std::string getToolTipText(WindowHandle tip);
bool setToolTipMaxWidth(WindowHandle tip, int32_t width);
// Places the tip's top-left corner at the screen point.
bool trackToolTipPosition(WindowHandle tip, Point point);
// Shows (true) or hides (false) the tip at its tracked position.
bool trackToolTipActivate(WindowHandle tip, bool activate);

}  // namespace Platform::window
