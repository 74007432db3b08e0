#include "ui/controls/TextButtonControl.h"

#include <algorithm>

#include "platform/draw2d/RenderTarget.h"
#include "ui/controls/ControlInput.h"
#include "ui/controls/ControlText.h"

namespace Control {

using Brushes = Window::StyleBrushList;

TextButtonControl::TextButtonControl(Window::WindowControl& parent, int32_t x, int32_t y, int32_t w, int32_t h,
                                     int32_t align)
    : ButtonControl(parent, x, y, w, h), alignment(align) {}

TextButtonControl::TextButtonControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h,
                                     int32_t align)
    : ButtonControl(container, x, y, w, h), alignment(align) {}

void TextButtonControl::setText(const std::wstring& shown) {
    if (text == shown) return;
    text = shown;
    invalidate();
}

void TextButtonControl::procPaint() {
    if (!canPaint()) return;
    const ControlScope scope(*this);
    const int32_t w = fullRect.w, h = fullRect.h;
    fillRectangle(0, 0, w, h, brush(Window::ControlInput::bodyColour(*this)));
    Window::ControlText laid;
    if (laid.layOut(text)) {
        const int32_t tw = laid.width, th = laid.height;
        int32_t x = 0, y = 0;
        switch (alignment) {
        case Centred: x = (w - tw) / 2, y = (h - th) / 2; break;
        case DropDown: x = th / 6, y = (h - th) / 2; break;
        case CentredEllipsis:
            laid.trimTo(static_cast<float>(w - 4));
            x = (w - tw) / 2, y = (h - th) / 2;
            break;
        default: break;
        }
        x = std::max(x, 3), y = std::max(y, 3);
        target->drawTextLayout({float(originX + x), float(originY + y)}, *laid.layout.get(),
                               brush(enabled ? Brushes::Text : Brushes::TextDisable));
        if (alignment == DropDown) {
            const float s = static_cast<float>(th) / 5.0f;
            const float cx = static_cast<float>(w) - static_cast<float>(th) * 0.25f;
            const float cy = static_cast<float>(h) * 0.5f;
            const float points[6] = {cx, cy - s, cx - 3 * s, cy - s, cx - 1.5f * s, cy + s};
            fillPath(points, brush(Brushes::Text));
        }
    }
    drawOutline();
}

}  // namespace Control
