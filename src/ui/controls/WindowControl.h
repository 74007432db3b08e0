#pragma once
#include <cstdint>

#include "ui/framework/WindowMouse.h"

// A custom-drawn control inside a panel. It lays itself out from four
// numbers relative to a reference rectangle (its container's layout
// rectangle or its parent control's rectangle) and takes input only where
// it is visible inside its clip rectangle.
//
// Layout rule, with R the reference rectangle: a negative x or y counts from
// R's right or bottom edge; a positive width or height is the size, zero or a
// negative one reaches R's far edge less its magnitude (never below zero).
namespace Window {

class ControlContainer;

class WindowControl : public WindowMouse {
public:
    WindowControl(ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h);
    // A child of a control, created after its parent in the same container.
    WindowControl(WindowControl& parent, int32_t x, int32_t y, int32_t w, int32_t h);
    ~WindowControl() override;

    virtual void procPaint() = 0;
    // The rectangle changed (after updateLayout, by the container).
    virtual void procMove();
    // Recomputes fullRect and visibleRect from the layout numbers.
    virtual void updateLayout();
    // fullRect from the edges, visibleRect its part inside the clip rectangle.
    void setRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
    // Asks for procPaint once the main loop has dispatched the waiting
    // input (PaintQueue); input handlers call this, never procPaint.
    void invalidate();

    ControlContainer* container;
    MouseRect visibleRect;
    MouseRect fullRect;
    int32_t layoutX, layoutY, layoutW, layoutH;
    const MouseRect* clipRef;
    const MouseRect* layoutRef;
};

}  // namespace Window
