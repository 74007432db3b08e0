#include "ui/panels/preview/TimeCounterControl.h"

#include <cmath>

#include "core/StringHelper.h"
#include "media/gpu/ResourceService.h"
#include "media/gpu/TextFormat.h"
#include "ui/framework/WindowService.h"

namespace Component {

namespace {

Resource::TextFormat* counterFormat() {
    Resource::ResourceService* resources = Resource::ResourceService::get();
    return resources != nullptr ? resources->textFormats[Resource::ResourceService::kPreviewTime].get() : nullptr;
}

}  // namespace

TimeCounterControl::TimeCounterControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w,
                                       int32_t h)
    : WindowControlRenderTarget(container, x, y, w, h) {}

int32_t TimeCounterControl::counterWidth() {
    Resource::TextFormat* format = counterFormat();
    if (format == nullptr) return 80;
    Resource::TextLayout layout;
    layout.create(*format, L"00:00:00.00");
    return static_cast<int32_t>(std::ceil(layout.getSize().width)) + 2;
}

std::wstring TimeCounterControl::timeText(int32_t frame, int32_t rate, int32_t scale) {
    const double seconds = rate > 0 ? static_cast<double>(frame) * scale / rate : 0.0;
    wchar_t out[16];
    System::formatTime(out, seconds);
    return out;
}

void TimeCounterControl::setFrame(int32_t frame, int32_t rate, int32_t scale) {
    std::wstring next = timeText(frame, rate, scale);
    if (next == text_) return;
    text_ = std::move(next);
    invalidate();
}

void TimeCounterControl::procPaint() {
    if (!canPaint()) return;
    const ControlScope scope(*this);
    fillRectangle(0, 0, fullRect.w, fullRect.h, brush(Window::StyleBrushList::Background));
    Resource::TextFormat* format = counterFormat();
    if (format == nullptr) return;
    Resource::TextLayout layout;
    layout.create(*format, text_.c_str(), static_cast<int32_t>(text_.size()));
    const auto size = layout.getSize();
    const int32_t x = (fullRect.w - static_cast<int32_t>(std::ceil(size.width))) / 2;
    const int32_t y = (fullRect.h - static_cast<int32_t>(std::ceil(size.height))) / 2;
    target->drawTextLayout({static_cast<float>(originX + x), static_cast<float>(originY + y)}, *layout.get(),
                           brush(Window::StyleBrushList::Text));
}

}  // namespace Component
