#pragma once
#include <cstdint>

#include "ui/controls/WindowControl.h"

// An invisible box that places its children in a fractional part of the
// rectangle its own layout numbers give: it takes no input and draws nothing.
namespace Control {

class LayoutControl : public Window::WindowControl {
public:
    LayoutControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h);
    LayoutControl(Window::WindowControl& parent, int32_t x, int32_t y, int32_t w, int32_t h);

    // The rectangle of the layout numbers, then its fractional part
    // (left + floor(W * fractionLeft), ... with W, H its size).
    void updateLayout() override;
    void procPaint() override;

    float fractionLeft = 0, fractionTop = 0, fractionRight = 1, fractionBottom = 1;
};

}  // namespace Control
