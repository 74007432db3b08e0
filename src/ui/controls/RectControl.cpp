#include "ui/controls/RectControl.h"

namespace Control {

RectControl::RectControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h)
    : WindowControlRenderTarget(container, x, y, w, h) {}

RectControl::RectControl(Window::WindowControl& parent, int32_t x, int32_t y, int32_t w, int32_t h)
    : WindowControlRenderTarget(parent, x, y, w, h) {}

void RectControl::procPaint() {
    if (!canPaint()) return;
    const ControlScope scope(*this);
    if (brush)
        fillRectangle(visibleRect.x - fullRect.x, visibleRect.y - fullRect.y,
                      visibleRect.x - fullRect.x + visibleRect.w, visibleRect.y - fullRect.y + visibleRect.h,
                      WindowControlRenderTarget::brush(*brush));
    if (paintAction) paintAction(*this);
}

}  // namespace Control
