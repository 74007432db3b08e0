#pragma once
#include <cstdint>

// Message records of the per-thread queue, with the numbers the program's
// window code uses for them.
namespace Platform::window {

struct WindowData;
using WindowHandle = WindowData*;

struct Point {
    int32_t x = 0;
    int32_t y = 0;
};

struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

using WindowProc = intptr_t (*)(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
using TimerProc = void (*)(WindowHandle window, uint32_t message, uintptr_t id, uint32_t time);

struct Message {
    WindowHandle window = nullptr;
    uint32_t message = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
    uint32_t time = 0;  // milliseconds of the monotonic clock, 32-bit
    Point pt;           // cursor position in screen coordinates when queued
    // Layer-private: the text a key press produced (UTF-32, 0 for none), read
    // by translateMessage.
    char32_t keyChar = 0;
};

inline constexpr uint32_t kWmNull = 0x0000;
inline constexpr uint32_t kWmCreate = 0x0001;
inline constexpr uint32_t kWmDestroy = 0x0002;
inline constexpr uint32_t kWmMove = 0x0003;
inline constexpr uint32_t kWmSize = 0x0005;
inline constexpr uint32_t kWmActivate = 0x0006;
inline constexpr uint32_t kWmSetFocus = 0x0007;
inline constexpr uint32_t kWmKillFocus = 0x0008;
inline constexpr uint32_t kWmPaint = 0x000F;
inline constexpr uint32_t kWmClose = 0x0010;
inline constexpr uint32_t kWmQuit = 0x0012;
inline constexpr uint32_t kWmGetMinMaxInfo = 0x0024;
inline constexpr uint32_t kWmWindowPosChanged = 0x0047;
inline constexpr uint32_t kWmContextMenu = 0x007B;
inline constexpr uint32_t kWmNcMouseMove = 0x00A0;
inline constexpr uint32_t kWmKeyDown = 0x0100;
inline constexpr uint32_t kWmKeyUp = 0x0101;
inline constexpr uint32_t kWmChar = 0x0102;
inline constexpr uint32_t kWmSysKeyDown = 0x0104;
inline constexpr uint32_t kWmSysKeyUp = 0x0105;
inline constexpr uint32_t kWmSysChar = 0x0106;
inline constexpr uint32_t kWmCommand = 0x0111;
inline constexpr uint32_t kWmTimer = 0x0113;
inline constexpr uint32_t kWmMouseMove = 0x0200;
inline constexpr uint32_t kWmLButtonDown = 0x0201;
inline constexpr uint32_t kWmLButtonUp = 0x0202;
inline constexpr uint32_t kWmRButtonDown = 0x0204;
inline constexpr uint32_t kWmRButtonUp = 0x0205;
inline constexpr uint32_t kWmMButtonDown = 0x0207;
inline constexpr uint32_t kWmMButtonUp = 0x0208;
inline constexpr uint32_t kWmMouseWheel = 0x020A;
inline constexpr uint32_t kWmMouseHWheel = 0x020E;
inline constexpr uint32_t kWmCaptureChanged = 0x0215;
inline constexpr uint32_t kWmMouseHover = 0x02A1;
inline constexpr uint32_t kWmMouseLeave = 0x02A3;
inline constexpr uint32_t kWmUser = 0x0400;

// lParam of WM_GETMINMAXINFO: the procedure may change the sizes.
struct MinMaxInfo {
    Point reserved;
    Point maxSize;
    Point maxPosition;
    Point minTrackSize;
    Point maxTrackSize;
};

// lParam of WM_WINDOWPOSCHANGED: the window's outer placement. It lives in the
// window and always holds the latest placement.
struct WindowPos {
    WindowHandle window = nullptr;
    WindowHandle insertAfter = nullptr;
    int32_t x = 0;
    int32_t y = 0;
    int32_t cx = 0;
    int32_t cy = 0;
    uint32_t flags = 0;
};
inline constexpr uint32_t kSwpNoSize = 0x0001;
inline constexpr uint32_t kSwpNoMove = 0x0002;

// WM_SIZE kinds.
inline constexpr uintptr_t kSizeRestored = 0;
inline constexpr uintptr_t kSizeMinimized = 1;
inline constexpr uintptr_t kSizeMaximized = 2;

// Mouse-message key flags (wParam).
inline constexpr uintptr_t kMkLButton = 0x0001;
inline constexpr uintptr_t kMkRButton = 0x0002;
inline constexpr uintptr_t kMkShift = 0x0004;
inline constexpr uintptr_t kMkControl = 0x0008;
inline constexpr uintptr_t kMkMButton = 0x0010;

inline constexpr int32_t kWheelDelta = 120;

// Packing of two signed 16-bit values, as mouse messages carry positions.
inline constexpr intptr_t makeLParam(int32_t low, int32_t high) {
    return static_cast<intptr_t>(
        static_cast<int32_t>((static_cast<uint32_t>(low) & 0xFFFFu) | ((static_cast<uint32_t>(high) & 0xFFFFu) << 16)));
}
inline constexpr int32_t lowWordSigned(intptr_t v) { return static_cast<int16_t>(static_cast<uint32_t>(v) & 0xFFFFu); }
inline constexpr int32_t highWordSigned(intptr_t v) {
    return static_cast<int16_t>((static_cast<uint32_t>(v) >> 16) & 0xFFFFu);
}

}  // namespace Platform::window
