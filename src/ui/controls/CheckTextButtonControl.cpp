#include "ui/controls/CheckTextButtonControl.h"

#include <algorithm>

#include "platform/draw2d/RenderTarget.h"
#include "ui/controls/ControlText.h"

namespace Control {

CheckTextButtonControl::CheckTextButtonControl(Window::WindowControl& parent, int32_t x, int32_t y, int32_t w,
                                               int32_t h, const std::wstring& shown)
    : CheckButtonControl(parent, x, y, w, h), text(shown) {}

CheckTextButtonControl::CheckTextButtonControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w,
                                               int32_t h, const std::wstring& shown)
    : CheckButtonControl(container, x, y, w, h), text(shown) {}

void CheckTextButtonControl::drawContent() {
    Window::ControlText laid;
    if (!laid.layOut(text)) return;
    const int32_t x = std::max((fullRect.w - laid.width) / 2, 2);
    const int32_t y = std::max((fullRect.h - laid.height) / 2, 2);
    target->drawTextLayout({float(originX + x), float(originY + y)}, *laid.layout.get(),
                           brush(checkState ? Window::StyleBrushList::Text : Window::StyleBrushList::TextDisable));
}

}  // namespace Control
