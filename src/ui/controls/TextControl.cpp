#include "ui/controls/TextControl.h"

#include <cmath>
#include <utility>

#include "media/gpu/TextFormat.h"
#include "platform/draw2d/RenderTarget.h"
#include "ui/framework/WindowMouseService.h"

namespace Control {

TextControl::TextControl(Window::WindowControl& parent, int32_t x, int32_t y, int32_t w, int32_t h, std::wstring shown,
                         int32_t align)
    : WindowControlRenderTarget(parent, x, y, w, h), text(std::move(shown)), alignment(align) {
    service->unregisterMouse(this);
}

TextControl::TextControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h,
                         std::wstring shown, int32_t align)
    : WindowControlRenderTarget(container, x, y, w, h), text(std::move(shown)), alignment(align) {
    service->unregisterMouse(this);
}

void TextControl::placeText(int32_t align, int32_t w, int32_t h, int32_t tw, int32_t th, int32_t pad, int32_t& x,
                            int32_t& y) {
    switch (align) {
    case LeftMiddle:
    case LeftEllipsis: x = pad, y = pad + (h - th) / 2; break;
    case Centred: x = pad + (w - tw) / 2, y = pad + (h - th) / 2; break;
    default: x = pad, y = pad; break;
    }
}

void TextControl::procPaint() {
    if (!canPaint()) return;
    const ControlScope scope(*this);
    const int32_t w = fullRect.w, h = fullRect.h;
    if (backgroundBrush)
        fillRectangle(visibleRect.x - fullRect.x, visibleRect.y - fullRect.y,
                      visibleRect.x - fullRect.x + visibleRect.w, visibleRect.y - fullRect.y + visibleRect.h,
                      brush(*backgroundBrush));
    Resource::ResourceService* resources = Resource::ResourceService::get();
    Resource::TextFormat* format =
        resources != nullptr && textFormat < resources->textFormats.size() ? resources->textFormats[textFormat].get()
                                                                           : nullptr;
    drawnTrimmed = false;
    if (format != nullptr && !text.empty()) {
        Resource::TextLayout layout;
        layout.create(*format, text.c_str(), static_cast<int32_t>(text.size()));
        const auto size = layout.getSize();
        drawnWidth = static_cast<int32_t>(std::ceil(size.width));
        drawnHeight = static_cast<int32_t>(std::ceil(size.height));
        const int32_t pad = frameBrush ? 2 : 0;
        if (alignment == LeftEllipsis) {
            const float limit = static_cast<float>(w - 4);
            drawnTrimmed = size.width > limit;
            layout.setTrimming(limit, format->getTrimmingSign());
        }
        placeText(alignment, w, h, drawnWidth, drawnHeight, pad, drawnX, drawnY);
        if (textBrush)
            target->drawTextLayout({float(originX + drawnX), float(originY + drawnY)}, *layout.get(),
                                   brush(*textBrush));
    }
    if (frameBrush) drawRectangle(0, 0, w, h, brush(*frameBrush), 2, nullptr);
}

}  // namespace Control
