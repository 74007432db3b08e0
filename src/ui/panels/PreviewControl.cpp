#include "ui/panels/PreviewControl.h"

#include <algorithm>

#include "media/image/ImageBuffer.h"
#include "platform/draw2d/Bitmap.h"
#include "ui/framework/WindowService.h"

namespace Component {

PreviewControl::PreviewControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h)
    : WindowControlRenderTarget(container, x, y, w, h) {}

PreviewControl::~PreviewControl() = default;

PreviewControl::Placement PreviewControl::fitFrame(int32_t frameWidth, int32_t frameHeight, int32_t width,
                                                   int32_t height) {
    if (frameWidth <= 0 || frameHeight <= 0 || width <= 0 || height <= 0) return {};
    // Compare width * frameHeight with height * frameWidth to stay in integers.
    const int64_t across = int64_t(width) * frameHeight, down = int64_t(height) * frameWidth;
    int32_t w = width, h = height;
    if (across > down)
        w = static_cast<int32_t>(down / frameHeight);
    else
        h = static_cast<int32_t>(across / frameWidth);
    w = std::max(w, 1);
    h = std::max(h, 1);
    const int32_t left = (width - w) / 2, top = (height - h) / 2;
    return {left, top, left + w, top + h};
}

PreviewControl::Placement PreviewControl::framePlacement() const {
    if (!bitmap_) return {};
    return fitFrame(static_cast<int32_t>(bitmap_->width()), static_cast<int32_t>(bitmap_->height()), fullRect.w,
                    fullRect.h);
}

void PreviewControl::setImage(const Media::ImageBuffer& image) {
    if (image.width == 0 || image.height == 0 || target == nullptr) {
        bitmap_.reset();
        return;
    }
    bitmap_ = image.createRenderTargetBitmap(*target, Platform::draw2d::AlphaMode::Ignore);
}

void PreviewControl::procPaint() {
    Window::WindowService* service = Window::WindowService::get();
    if (service == nullptr || target == nullptr || visibleRect.w <= 0 || visibleRect.h <= 0) return;
    const DrawScope scope(*this, fullRect.x, fullRect.y, fullRect.x + fullRect.w, fullRect.y + fullRect.h, true);
    fillRectangle(0, 0, fullRect.w, fullRect.h, service->brushes.get(Window::StyleBrushList::Background));
    if (!bitmap_) return;
    const Placement at = framePlacement();
    drawBitmap(*bitmap_, at.left, at.top, at.right, at.bottom, 1.0f);
}

}  // namespace Component
