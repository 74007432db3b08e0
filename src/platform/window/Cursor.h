#pragma once
#include <cstdint>

#include "platform/window/Message.h"

// Mouse cursors: the system's shapes by their usual numbers, cursors made from
// one-bit masks (the program's own artwork), and the blank cursor. Handles
// live as long as the process.
namespace Platform::window {

struct CursorData;
using CursorHandle = CursorData*;

inline constexpr uint32_t kIdcArrow = 32512;
inline constexpr uint32_t kIdcIBeam = 32513;
inline constexpr uint32_t kIdcWait = 32514;
inline constexpr uint32_t kIdcCross = 32515;
inline constexpr uint32_t kIdcSizeNwse = 32642;
inline constexpr uint32_t kIdcSizeNesw = 32643;
inline constexpr uint32_t kIdcSizeWe = 32644;
inline constexpr uint32_t kIdcSizeNs = 32645;
inline constexpr uint32_t kIdcSizeAll = 32646;
inline constexpr uint32_t kIdcNo = 32648;
inline constexpr uint32_t kIdcHand = 32649;
inline constexpr uint32_t kIdcAppStarting = 32650;
inline constexpr uint32_t kIdcHelp = 32651;
inline constexpr uint32_t kIdcPin = 32652;
inline constexpr uint32_t kIdcPerson = 32653;

// Null (lastError set) for a number that names no system cursor.
CursorHandle loadSystemCursor(uint32_t id);
// A cursor from AND and XOR masks, rows of (width + 7) / 8 bytes, most
// significant bit first: AND 1 XOR 0 is transparent, AND 0 XOR 0 black,
// AND 0 XOR 1 white, AND 1 XOR 1 inverted (shown black).
CursorHandle createMonochromeCursor(int32_t width, int32_t height, int32_t hotX, int32_t hotY, const uint8_t* andMask,
                                    const uint8_t* xorMask);
CursorHandle blankCursor();
// The cursor shown over the window's client area; null shows the default.
bool setWindowCursor(WindowHandle window, CursorHandle cursor);

}  // namespace Platform::window
