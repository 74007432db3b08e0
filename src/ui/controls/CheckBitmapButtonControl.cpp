#include "ui/controls/CheckBitmapButtonControl.h"

#include "ui/framework/WindowService.h"

namespace Control {

CheckBitmapButtonControl::CheckBitmapButtonControl(Window::WindowControl& parent, int32_t x, int32_t y, int32_t w,
                                                   int32_t h, Window::StyleBitmapList::Index on,
                                                   Window::StyleBitmapList::Index off)
    : CheckButtonControl(parent, x, y, w, h), onBitmap(on), offBitmap(off) {}

CheckBitmapButtonControl::CheckBitmapButtonControl(Window::ControlContainer& container, int32_t x, int32_t y,
                                                   int32_t w, int32_t h, Window::StyleBitmapList::Index on,
                                                   Window::StyleBitmapList::Index off)
    : CheckButtonControl(container, x, y, w, h), onBitmap(on), offBitmap(off) {}

void CheckBitmapButtonControl::drawContent() {
    drawBitmap(Window::WindowService::get()->bitmaps.get(checkState ? onBitmap : offBitmap), 0, 0, fullRect.w,
               fullRect.h, 1.0f);
}

}  // namespace Control
