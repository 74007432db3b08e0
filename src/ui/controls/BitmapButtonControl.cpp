#include "ui/controls/BitmapButtonControl.h"

#include "ui/controls/ControlInput.h"
#include "ui/framework/WindowService.h"

namespace Control {

BitmapButtonControl::BitmapButtonControl(Window::WindowControl& parent, int32_t x, int32_t y, int32_t w, int32_t h,
                                         Window::StyleBitmapList::Index image)
    : ButtonControl(parent, x, y, w, h), bitmap(image) {}

BitmapButtonControl::BitmapButtonControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w,
                                         int32_t h, Window::StyleBitmapList::Index image)
    : ButtonControl(container, x, y, w, h), bitmap(image) {}

void BitmapButtonControl::procPaint() {
    if (!canPaint()) return;
    const ControlScope scope(*this);
    if (backgroundBrush) {
        const bool lit = framed || hovered || dragging;
        fillRectangle(0, 0, fullRect.w, fullRect.h,
                      brush(lit ? Window::ControlInput::bodyColour(*this) : *backgroundBrush));
    }
    drawBitmap(Window::WindowService::get()->bitmaps.get(bitmap), 0, 0, fullRect.w, fullRect.h, 1.0f);
    if (framed) drawOutline();
}

}  // namespace Control
