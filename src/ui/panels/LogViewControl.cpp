#include "ui/panels/LogViewControl.h"

#include <cmath>

#include "core/Logger.h"
#include "media/gpu/ResourceService.h"
#include "media/gpu/TextFormat.h"
#include "platform/draw2d/Brush.h"
#include "platform/draw2d/RenderTarget.h"
#include "ui/framework/StyleBrushList.h"
#include "ui/framework/WindowService.h"
#include "ui/panels/LogComponent.h"

namespace Component {

namespace {

constexpr uint32_t kPollIntervalMs = 200;

Platform::draw2d::ColorF levelColor(uint32_t rgb) {
    return {float((rgb >> 16) & 0xFF) / 255, float((rgb >> 8) & 0xFF) / 255, float(rgb & 0xFF) / 255, 1.0f};
}

}  // namespace

LogViewControl::LogViewControl(Window::ControlContainer& container, LogComponent& panel, int32_t x, int32_t y,
                               int32_t w, int32_t h)
    : WindowControlRenderTarget(container, x, y, w, h), panel_(panel) {
    if (Resource::ResourceService* resources = Resource::ResourceService::get())
        format_ = resources->textFormats[Resource::ResourceService::kLog].get();
    if (format_ != nullptr) lineHeight_ = static_cast<int32_t>(std::ceil(format_->getLineHeight()));
}

LogViewControl::~LogViewControl() {
    if (!timerRunning_) return;
    try {
        timer_.clear();
    } catch (...) {
        // Going away: the handle is dropped from the wait loop below all the same.
    }
    if (Window::WindowService* service = Window::WindowService::get()) service->unregisterWaitHandle(timer_.handle());
}

void LogViewControl::procMove() {
    lines.setHeight(fullRect.h, lineHeight_);
    const bool run = panel_.shown() && fullRect.w > 0 && fullRect.h > 0;
    if (run == timerRunning_) return;
    Window::WindowService* service = Window::WindowService::get();
    if (run) {
        timer_.setInterval(kPollIntervalMs);
        if (service != nullptr) service->registerWaitHandle(timer_.handle(), [this] { (void)tick(); });
    } else {
        timer_.clear();
        if (service != nullptr) service->unregisterWaitHandle(timer_.handle());
    }
    timerRunning_ = run;
}

bool LogViewControl::tick() {
    System::Logger* logger = System::Logger::get();
    if (logger == nullptr || !lines.poll(*logger)) return false;
    panel_.procPaint();
    return true;
}

void LogViewControl::procPaint() {
    if (target == nullptr) return;
    const DrawScope scope(*this, fullRect.x, fullRect.y, fullRect.x + fullRect.w, fullRect.y + fullRect.h, true);
    if (Window::WindowService* service = Window::WindowService::get())
        fillRectangle(0, 0, fullRect.w, fullRect.h, service->brushes.get(Window::StyleBrushList::Background));
    System::Logger* logger = System::Logger::get();
    if (logger == nullptr || format_ == nullptr) return;
    const std::vector<LogLines::Line> shown = lines.copyWindow(*logger);
    for (size_t g = 0; g < shown.size(); ++g) {
        const std::wstring text = LogLines::shorten(shown[g].text);
        if (text.empty()) continue;
        Resource::TextLayout layout;
        layout.create(*format_, text.c_str(), static_cast<int32_t>(text.size()));
        const float h = layout.getSize().height;
        const Platform::draw2d::SolidColorBrush brush(levelColor(shown[g].type->color));
        const float y = float(fullRect.h) - float(g) * float(lineHeight_) - h;
        target->drawTextLayout({float(originX), float(originY) + y}, *layout.get(), brush);
    }
}

}  // namespace Component
