#pragma once
#include <cstdint>
#include <string>

#include "platform/window/Message.h"

// Everything inside the main window that takes input (panels, controls,
// separators, scroll-bar thumbs) is a WindowMouse: a rectangle in client
// pixels, a priority and the handlers the router calls. Objects register with
// the router when constructed and leave it when destroyed. Coordinates handed
// to handlers are local to the rectangle's origin.
namespace Window {

class WindowMouseService;
struct DropFiles;

struct MouseRect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t w = 0;
    int32_t h = 0;
};

struct ImeState {
    bool associated = true;
    std::wstring fontFace;  // the composition font last given to the input method
    int32_t fontHeight = 0;
};

class WindowMouse {
public:
    // The router must exist; the rectangle is owned by the caller and outlives the object.
    WindowMouse(const MouseRect* rect, int32_t priority);
    virtual ~WindowMouse();
    WindowMouse(const WindowMouse&) = delete;
    WindowMouse& operator=(const WindowMouse&) = delete;

    virtual void procMouseMove(int32_t x, int32_t y);
    // Relative to the drag origin.
    virtual void procMouseDrag(int32_t x, int32_t y);
    virtual void procDragCancel();
    virtual bool procDragKey(int32_t key);
    virtual void procKeyRelease();
    virtual void procLButtonDown(int32_t x, int32_t y);
    virtual void procLButtonUp(int32_t x, int32_t y);
    virtual void procRButtonDown(int32_t x, int32_t y);
    virtual void procRButtonUp(int32_t x, int32_t y);
    virtual void procMouseEnter();
    virtual void procMouseLeave();
    virtual void procCaptureLost();
    virtual void procMouseWheel(int32_t x, int32_t y, int32_t delta);
    virtual bool isWheelTarget();
    virtual bool procKeyDown(int32_t key);
    virtual bool procChar(char16_t unit);
    // Committed input-method text; by default each UTF-16 unit goes to procChar.
    virtual void procImeString(const std::u16string& text);
    virtual void procFocusLost(WindowMouse* cause);
    virtual void procContextMenu(int32_t x, int32_t y);
    virtual bool procFocusIme(ImeState& state);
    virtual bool procDragOver(int32_t x, int32_t y, DropFiles& files);
    virtual bool procDrop(int32_t x, int32_t y, DropFiles& files);
    virtual void procDragLeave();
    // Red, green, blue, or null when the pick was cancelled.
    virtual void procPickColor(const uint8_t* rgb);
    virtual void procMouseHover();

    // Takes the keyboard focus for this object.
    void takeFocus();

    bool dragging = false;
    bool hovered = false;
    bool focused = false;
    bool enabled = true;
    bool visible = true;
    bool acceptContextMenu = false;
    bool acceptRightButton = false;
    bool acceptWheel = false;
    bool acceptDrop = false;
    WindowMouseService* service = nullptr;
    WindowMouseService* secondService = nullptr;
    const MouseRect* rect = nullptr;
    int32_t priority = 0;
};

}  // namespace Window
