#pragma once
#include <cstdint>
#include <string>

#include "platform/window/Message.h"

typedef struct _cairo_surface cairo_surface_t;

// Top-level windows: a GTK window whose client area is a drawing area backed
// by a persistent Cairo image surface. The program draws into the surface at
// any time and presents it; expose events show it again. Without a display
// (or made on a thread other than the main one) a window still exists, with
// its queue and surface, but is never shown.
namespace Platform::window {

struct WindowDesc {
    std::string title;  // UTF-8
    int32_t x = 0;      // screen position and client size
    int32_t y = 0;
    int32_t width = 640;
    int32_t height = 480;
    WindowProc procedure = nullptr;
    void* createParam = nullptr;  // lParam of the create message
    // A popup (tool tip, choice list): no frame, placed exactly where it is
    // moved, kept above its owner; hidden until shown.
    bool popup = false;
    WindowHandle owner = nullptr;
};

inline constexpr int kSwHide = 0;
inline constexpr int kSwShowNormal = 1;
inline constexpr int kSwMinimize = 6;
inline constexpr int kSwMaximize = 3;
inline constexpr int kSwShow = 5;
inline constexpr int kSwRestore = 9;

inline constexpr uint32_t kTmeHover = 0x1;
inline constexpr uint32_t kTmeLeave = 0x2;
inline constexpr uint32_t kTmeCancel = 0x80000000u;
inline constexpr uint32_t kHoverDefault = 0xFFFFFFFFu;

// Creates the window on the calling thread (its owner) and sends the create
// message; a procedure answering -1 to it fails the creation. Null on failure.
WindowHandle createWindow(const WindowDesc& desc);
// Destroys the windows it owns, sends the destroy message, then destroys the window.
bool destroyWindow(WindowHandle window);
bool isWindow(WindowHandle window);
// Asks the procedure for its size limits (WM_GETMINMAXINFO) before showing.
bool showWindow(WindowHandle window, int command);
bool isWindowVisible(WindowHandle window);
bool isZoomed(WindowHandle window);
bool isIconic(WindowHandle window);
bool setWindowText(WindowHandle window, const std::string& text);
bool moveWindow(WindowHandle window, int32_t x, int32_t y, int32_t width, int32_t height);

intptr_t getWindowUserData(WindowHandle window);
intptr_t setWindowUserData(WindowHandle window, intptr_t value);
bool setWindowProcedure(WindowHandle window, WindowProc procedure);
WindowProc getWindowProcedure(WindowHandle window);

bool getClientRect(WindowHandle window, Rect& rect);
// The outer rectangle in screen coordinates.
bool getWindowRect(WindowHandle window, Rect& rect);
bool clientToScreen(WindowHandle window, Point& point);
bool screenToClient(WindowHandle window, Point& point);
bool getCursorPos(Point& point);

// Paint bookkeeping: an invalid window gets a paint message when its queue is
// otherwise empty, until it is validated.
bool invalidateRect(WindowHandle window);
bool validateRect(WindowHandle window);
// Sends the paint message now when the window is invalid.
bool updateWindow(WindowHandle window);

// The persistent surface of the client area (ARGB32, the client size).
cairo_surface_t* windowSurface(WindowHandle window);
// Shows the surface's content on screen now (the whole client area).
void presentWindow(WindowHandle window);

WindowHandle setCapture(WindowHandle window);
bool releaseCapture();
WindowHandle getCapture();
WindowHandle setFocus(WindowHandle window);
WindowHandle getFocus();
WindowHandle getActiveWindow();
bool setForegroundWindow(WindowHandle window);
// Asks for one leave and/or hover message (hover after hoverMs of rest).
bool trackMouseEvent(WindowHandle window, uint32_t flags, uint32_t hoverMs);

// The icon shown for the window: straight RGBA pixels, rows width * 4 bytes.
bool setWindowIcon(WindowHandle window, const uint8_t* rgba, int32_t width, int32_t height);
// Whether windows made on the calling thread are shown on a display (false
// for message-only windows).
bool hasDisplay();

// The default handling: closing destroys, painting validates, a right-button
// release asks for the context menu.
intptr_t defWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

}  // namespace Platform::window
