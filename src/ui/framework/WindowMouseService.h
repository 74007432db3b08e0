#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/ServiceHolder.h"
#include "platform/window/Message.h"
#include "ui/framework/WindowMouse.h"

// The input router of the main window: picks the WindowMouse for every
// mouse, keyboard, input-method and file-drop message, and tracks capture,
// hover, keyboard focus, drags, double clicks, wheel latching, key holds,
// the colour pick mode and the mouse cursor. UI thread only.
namespace Platform::window {
struct CursorData;
}

namespace Window {

// Messages the router takes besides the window layer's own.
inline constexpr uint32_t kWmImeStartComposition = 0x010D;
inline constexpr uint32_t kWmImeComposition = 0x010F;
inline constexpr uint32_t kWmImeChar = 0x0286;
inline constexpr uint32_t kWmDragOver = 0x0401;  // lParam: DropFiles*
inline constexpr uint32_t kWmDrop = 0x0402;      // lParam: DropFiles*
inline constexpr uint32_t kWmDragLeave = 0x0403;
// lParam of a composition message carrying committed text.
inline constexpr intptr_t kGcsResultStr = 0x0800;

class WindowMouseService {
public:
    struct MouseCursor {
        uint32_t resource = 0;  // 0: none
        bool system = false;
        Platform::window::CursorData* handle = nullptr;

        static void updateWindowCursor();

        static MouseCursor Hidden, Arrow, SizeWE, SizeNS, SizeAll, Hand, IBeam, No, Wait, HorizontalArrows,
            VerticalArrows, Crosshair, SystemCursor32652, SystemCursor32653;
    };

    static constexpr int32_t KeyHoldWhileFocused = 0x10000;

    // What the router needs from outside: the shortcut list (a key nobody
    // took, and whether it was a system key), the tool tip (hide it; true:
    // only one that follows the cursor), the pointer position and the screen
    // pixel, and the committed text of the input method.
    struct Hooks {
        std::function<bool(int32_t key, bool systemKey)> shortcut;
        std::function<void(bool cursorBoundOnly)> hideToolTip;
        std::function<bool(Platform::window::Point&)> getCursorPos;
        std::function<bool(const Platform::window::Point&)> setCursorPos;
        std::function<bool(const Platform::window::Point&, uint8_t rgb[3])> screenPixel;
        std::function<std::u16string()> imeResultString;
        std::function<uint64_t()> clock;  // milliseconds since start-up
    };

    WindowMouseService();
    ~WindowMouseService();
    WindowMouseService(const WindowMouseService&) = delete;
    WindowMouseService& operator=(const WindowMouseService&) = delete;

    static WindowMouseService* get() { return System::ServiceSlot<WindowMouseService>::instance; }
    // Set while a handler chosen by a hit test runs.
    static bool routingBusy;

    // Sets the main window and the default cursor.
    void attachWindow(Platform::window::WindowHandle window);
    bool dispatch(Platform::window::WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
    void unregisterMouse(WindowMouse* mouse);
    void beginDrag(int32_t offsetX, int32_t offsetY, MouseCursor* cursor);
    bool setFocus(WindowMouse* mouse);
    void takeFocus(WindowMouse* mouse);
    void leaveHover();
    void trackHover(WindowMouse* mouse);
    bool isDragging(const WindowMouse* mouse) const { return dragArmed && captureTarget == mouse; }
    bool endColorPick();
    void releaseKeyHold();
    void beginColorPick(WindowMouse* mouse);
    // Sets the key hold unless another key is already held; false when refused.
    bool holdKey(WindowMouse* mouse, int32_t key);
    // The shortcut list ends any capture and drag before it runs a command.
    void cancelCaptureForShortcut();
    void prepareButtonDown(uint32_t message, uintptr_t wParam, intptr_t lParam);
    WindowMouse* findTarget(int32_t x, int32_t y);
    WindowMouse* findTargetIf(int32_t x, int32_t y, const std::function<bool(WindowMouse&)>& filter);
    void applyCursor();

    Hooks hooks;
    Platform::window::WindowHandle window = nullptr;
    MouseCursor* defaultCursor = nullptr;
    MouseCursor* currentCursor = nullptr;
    MouseCursor* appliedCursor = nullptr;
    std::vector<WindowMouse*> mice;
    ImeState imeState;
    WindowMouse* focusTarget = nullptr;
    WindowMouse* captureTarget = nullptr;
    WindowMouse* hoverTarget = nullptr;
    WindowMouse* dropTarget = nullptr;
    WindowMouse* keyHoldTarget = nullptr;
    int32_t keyHoldKey = 0;
    WindowMouse* colorPickTarget = nullptr;
    bool dragArmed = false;
    int32_t dragOriginX = 0;
    int32_t dragOriginY = 0;
    bool dragStarted = false;
    Platform::window::Point savedCursorPos;
    uint32_t pressMessage = 0;
    uint64_t pressTime = 0;
    uint32_t pressPos = 0;
    uint32_t lastMovePos = 0xFFFFFFFFu;
    uint64_t lastWheelTime = 0;
    const WindowMouse* lastWheelTarget = nullptr;
    bool doubleClick = false;
    bool rightPressTookFocus = false;
    bool sysKeyResult = false;

private:
    int32_t dragWidth() const;
    int32_t dragHeight() const;
    uint32_t doubleClickTime() const;
    uint64_t now() const;
    void cancelColorPick();
    void endCapture();
    void dropLeave();
    bool mouseMove(uintptr_t wParam, intptr_t lParam);
    bool buttonDown(uint32_t message, uintptr_t wParam, intptr_t lParam);
    bool buttonUp(uint32_t message, intptr_t lParam);
    bool wheel(uintptr_t wParam, intptr_t lParam);
    bool keyDown(uint32_t message, uintptr_t wParam);
    void imeComposition(bool start, intptr_t lParam);
    bool drop(uint32_t message, intptr_t lParam);
    bool contextMenu(intptr_t lParam);
    Platform::window::Point toClient(intptr_t lParam) const;
};

}  // namespace Window
