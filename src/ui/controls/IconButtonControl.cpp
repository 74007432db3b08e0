#include "ui/controls/IconButtonControl.h"

#include "ui/framework/WindowService.h"

namespace Control {

IconButtonControl::IconButtonControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h)
    : WindowControlRenderTarget(container, x, y, w, h) {}

IconButtonControl::IconButtonControl(Window::WindowControl& parent, int32_t x, int32_t y, int32_t w, int32_t h)
    : WindowControlRenderTarget(parent, x, y, w, h) {}

void IconButtonControl::procPaint() {
    using Brushes = Window::StyleBrushList;
    Window::WindowService* service = Window::WindowService::get();
    if (service == nullptr || target == nullptr || visibleRect.w <= 0 || visibleRect.h <= 0) return;
    const DrawScope scope(*this, fullRect.x, fullRect.y, fullRect.x + fullRect.w, fullRect.y + fullRect.h, true);
    const Brushes::Index body = !enabled              ? Brushes::ButtonBodyDisable
                                : pressed_ && hovered ? Brushes::ButtonBodyPress
                                : hovered             ? Brushes::ButtonBodyHover
                                                      : Brushes::ButtonBody;
    fillRectangle(0, 0, fullRect.w, fullRect.h, service->brushes.get(body));
    if (icon == nullptr) return;
    Platform::draw2d::Brush& ink = service->brushes.get(enabled ? Brushes::Text : Brushes::TextDisable);
    const float w = static_cast<float>(fullRect.w), h = static_cast<float>(fullRect.h);
    for (const auto& r : icon->rectangles)
        fillRectangle(static_cast<int32_t>(r[0] * w), static_cast<int32_t>(r[1] * h), static_cast<int32_t>(r[2] * w),
                      static_cast<int32_t>(r[3] * h), ink);
    for (const auto& t : icon->triangles) {
        const float points[6] = {t[0] * w, t[1] * h, t[2] * w, t[3] * h, t[4] * w, t[5] * h};
        fillPath(points, ink);
    }
}

void IconButtonControl::procLButtonDown(int32_t, int32_t) {
    if (!enabled) return;
    pressed_ = true;
    procPaint();
}

void IconButtonControl::procLButtonUp(int32_t x, int32_t y) {
    if (!pressed_) return;
    pressed_ = false;
    procPaint();
    const bool inside = x >= 0 && y >= 0 && x < fullRect.w && y < fullRect.h;
    if (inside && enabled && action) action();
}

void IconButtonControl::procMouseEnter() { procPaint(); }

void IconButtonControl::procMouseLeave() { procPaint(); }

void IconButtonControl::procCaptureLost() {
    pressed_ = false;
    procPaint();
}

void IconButtonControl::setIcon(const Icon* shape) {
    if (icon == shape) return;
    icon = shape;
    procPaint();
}

void IconButtonControl::setEnabled(bool on) {
    if (enabled == on) return;
    enabled = on;
    if (!on) pressed_ = false;
    procPaint();
}

}  // namespace Control
