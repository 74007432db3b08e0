#include "ui/controls/WindowControlRenderTarget.h"

#include <stdexcept>

#include "platform/draw2d/RenderTarget.h"
#include "ui/framework/WindowService.h"

namespace Window {

namespace {

Media::RenderTarget& mainTarget() {
    WindowService* service = WindowService::get();
    if (service == nullptr)
        throw std::logic_error("Window::WindowControlRenderTarget: the window service does not exist");
    return *service;
}

}  // namespace

WindowControlRenderTarget::WindowControlRenderTarget(ControlContainer& container, int32_t x, int32_t y, int32_t w,
                                                     int32_t h)
    : WindowControl(container, x, y, w, h), Media::RenderTarget(mainTarget()) {}

WindowControlRenderTarget::WindowControlRenderTarget(WindowControl& parent, int32_t x, int32_t y, int32_t w, int32_t h)
    : WindowControl(parent, x, y, w, h), Media::RenderTarget(mainTarget()) {}

WindowControlRenderTarget::ControlScope::ControlScope(WindowControlRenderTarget& control)
    : scope_(control, control.visibleRect.x, control.visibleRect.y, control.visibleRect.x + control.visibleRect.w,
             control.visibleRect.y + control.visibleRect.h, true) {
    control.originX = control.fullRect.x;
    control.originY = control.fullRect.y;
}

bool WindowControlRenderTarget::canPaint() const {
    return visible && visibleRect.w > 0 && visibleRect.h > 0 && target != nullptr && WindowService::get() != nullptr;
}

Platform::draw2d::Brush& WindowControlRenderTarget::brush(int32_t index) {
    WindowService* service = WindowService::get();
    if (service == nullptr)
        throw std::logic_error("Window::WindowControlRenderTarget: the window service does not exist");
    return service->brushes.get(static_cast<StyleBrushList::Index>(index));
}

void WindowControlRenderTarget::drawOutline() {
    drawRectangle(0, 0, fullRect.w, fullRect.h, brush(StyleBrushList::Border), 2, nullptr);
}

void WindowControlRenderTarget::drawLineF(float x1, float y1, float x2, float y2, const Platform::draw2d::Brush& ink,
                                          float width, const Platform::draw2d::StrokeStyle* style) {
    target->drawLine({float(originX) + x1, float(originY) + y1}, {float(originX) + x2, float(originY) + y2}, ink, width,
                     style);
}

void WindowControlRenderTarget::fillRectangleF(float l, float t, float r, float b, const Platform::draw2d::Brush& ink) {
    target->fillRectangle({float(originX) + l, float(originY) + t, float(originX) + r, float(originY) + b}, ink);
}

}  // namespace Window
