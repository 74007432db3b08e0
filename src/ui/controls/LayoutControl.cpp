#include "ui/controls/LayoutControl.h"

#include <cmath>

#include "ui/framework/WindowMouseService.h"

namespace Control {

LayoutControl::LayoutControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h)
    : WindowControl(container, x, y, w, h) {
    service->unregisterMouse(this);
}

LayoutControl::LayoutControl(Window::WindowControl& parent, int32_t x, int32_t y, int32_t w, int32_t h)
    : WindowControl(parent, x, y, w, h) {
    service->unregisterMouse(this);
}

void LayoutControl::updateLayout() {
    WindowControl::updateLayout();
    const int32_t left = fullRect.x, top = fullRect.y;
    const double w = fullRect.w, h = fullRect.h;
    const auto at = [](int32_t origin, double size, float fraction) {
        return origin + static_cast<int32_t>(std::floor(size * static_cast<double>(fraction)));
    };
    setRect(at(left, w, fractionLeft), at(top, h, fractionTop), at(left, w, fractionRight), at(top, h, fractionBottom));
}

void LayoutControl::procPaint() {}

}  // namespace Control
