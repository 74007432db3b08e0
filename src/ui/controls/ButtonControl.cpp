#include "ui/controls/ButtonControl.h"

#include "ui/controls/ControlInput.h"

namespace Control {

ButtonControl::ButtonControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h)
    : WindowControlRenderTarget(container, x, y, w, h) {}

ButtonControl::ButtonControl(Window::WindowControl& parent, int32_t x, int32_t y, int32_t w, int32_t h)
    : WindowControlRenderTarget(parent, x, y, w, h) {}

void ButtonControl::press() {
    Window::ControlInput::claimPress(*this);
    invalidate();
    if (clickAction) clickAction(*this);
}

void ButtonControl::procLButtonDown(int32_t, int32_t) { press(); }

void ButtonControl::procMouseEnter() { invalidate(); }

void ButtonControl::procMouseLeave() { invalidate(); }

void ButtonControl::procCaptureLost() { invalidate(); }

void ButtonControl::procMouseHover() { Window::ControlInput::showToolTip(toolTipText); }

void ButtonControl::setEnabled(bool on) {
    if (enabled == on) return;
    enabled = on;
    invalidate();
}

}  // namespace Control
