#include "ui/controls/TextIconButtonControl.h"

#include <algorithm>

#include "platform/draw2d/RenderTarget.h"
#include "ui/controls/ControlInput.h"
#include "ui/controls/ControlText.h"
#include "ui/framework/WindowService.h"

namespace Control {

using Brushes = Window::StyleBrushList;

TextIconButtonControl::IconControl::IconControl(TextIconButtonControl& button)
    : WindowMouse(&button.iconRect, 300), button_(button) {}

void TextIconButtonControl::IconControl::procLButtonDown(int32_t, int32_t) {
    // The press stays unclaimed: the icon acts and is done.
    if (button_.iconAction) button_.iconAction(button_);
}

void TextIconButtonControl::IconControl::procMouseHover() {
    Window::ControlInput::showToolTip(button_.iconToolTipText);
}

void TextIconButtonControl::IconControl::procMouseEnter() { button_.invalidate(); }

void TextIconButtonControl::IconControl::procMouseLeave() { button_.invalidate(); }

void TextIconButtonControl::IconControl::procCaptureLost() { button_.invalidate(); }

TextIconButtonControl::TextIconButtonControl(Window::WindowControl& parent, int32_t w, const std::wstring& shown)
    : ButtonControl(parent, 0, 0, w, 0), text(shown), iconPart(*this) {
    TextIconButtonControl::procMove();
}

void TextIconButtonControl::setIcon(StyleBitmap bitmap) {
    if (iconBitmap == bitmap) return;
    iconBitmap = bitmap;
    procMove();
    invalidate();
}

void TextIconButtonControl::procMove() {
    iconPart.visible = iconBitmap.has_value();
    const int32_t side = visibleRect.h;
    iconRect = {visibleRect.x + visibleRect.w - side, visibleRect.y, side, side};
}

void TextIconButtonControl::procPaint() {
    if (!canPaint()) return;
    const ControlScope scope(*this);
    const int32_t w = fullRect.w, h = fullRect.h;
    fillRectangle(0, 0, w, h, brush(Window::ControlInput::bodyColour(*this)));
    Window::ControlText laid;
    if (laid.layOut(text))
        target->drawTextLayout({float(originX + std::max((w - laid.width) / 2, 3)),
                                float(originY + std::max((h - laid.height) / 2, 3))},
                               *laid.layout.get(), brush(enabled ? Brushes::Text : Brushes::TextDisable));
    if (iconBitmap) {
        const int32_t x = iconRect.x - fullRect.x, y = iconRect.y - fullRect.y;
        const int32_t side = iconRect.w;
        Platform::draw2d::Bitmap& image = Window::WindowService::get()->bitmaps.get(*iconBitmap);
        if (iconPart.hovered) {
            fillRectangle(x, y, x + side, y + side, brush(Window::ControlInput::bodyColour(iconPart)));
            drawBitmap(image, x + 3, y + 3, x + side - 3, y + side - 3, 1.0f);
        } else {
            drawBitmap(image, x + 3, y + 3, x + side - 3, y + side - 3, 0.7f);
        }
    }
    drawOutline();
}

}  // namespace Control
