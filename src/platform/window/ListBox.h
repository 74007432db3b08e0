#pragma once
#include <cstdint>

#include "platform/window/Message.h"

// A popup choice list of the owner: one column of text entries with a
// selection and a vertical scroll bar, driven by the list messages below
// through sendMessage. Its procedure may be replaced; the replacement hands
// what it does not take to the list's own procedure (getWindowProcedure
// before replacing it). UI thread only.
namespace Platform::window {

inline constexpr uint32_t kLbAddString = 0x0180;     // lParam: const char* (UTF-8); the new index
inline constexpr uint32_t kLbResetContent = 0x0184;  // removes every entry
inline constexpr uint32_t kLbSetCurSel = 0x0186;     // wParam: index, -1 for none
inline constexpr uint32_t kLbGetCurSel = 0x0188;     // the selected index or kLbErr
inline constexpr uint32_t kLbGetCount = 0x018B;
inline constexpr uint32_t kLbGetTopIndex = 0x018E;
inline constexpr uint32_t kLbSetTopIndex = 0x0197;    // wParam: index (clamped to the entries)
inline constexpr uint32_t kLbGetItemHeight = 0x01A1;  // pixels
inline constexpr uint32_t kLbItemFromPoint = 0x01A9;  // lParam: client point; index, high word 1 outside
inline constexpr intptr_t kLbErr = -1;

// Hidden until shown; null on failure (lastError set).
WindowHandle createListBox(WindowHandle owner);

}  // namespace Platform::window
