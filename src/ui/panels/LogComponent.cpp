#include "ui/panels/LogComponent.h"

#include "ui/framework/StyleBrushList.h"
#include "ui/framework/WindowMouseService.h"
#include "ui/framework/WindowService.h"

namespace Component {

namespace {

const std::wstring kTitle = L"ログ表示";
constexpr int32_t kWheelLines = 3;

}  // namespace

LogComponent::LogComponent()
    : WindowClientRenderTarget(&kTitle, "log", {0.0f, 0.7f, 1.0f, 1.0f, Window::WindowClient::Centre, false}),
      container_(0, &clientRect, &clientRect) {
    acceptContextMenu = true;
    acceptRightButton = true;
    acceptWheel = true;
    view_ = std::make_unique<LogViewControl>(container_, *this, 0, 0, 0, 0);
    container_.updateChildLayout();
}

LogComponent::~LogComponent() = default;

void LogComponent::procPaint() {
    if (!shown() || target == nullptr) return;
    const DrawScope scope(*this, clientRect.x, clientRect.y, clientRect.x + clientRect.w, clientRect.y + clientRect.h,
                          true);
    for (Window::WindowControl* child : container_.children) child->procPaint();
}

void LogComponent::procMove() {
    WindowClientRenderTarget::procMove();
    container_.updateChildLayout();
    view_->lines.scrollUpdate();
}

void LogComponent::procMouseWheel(int32_t, int32_t, int32_t delta) {
    // Up goes towards older lines.
    view_->lines.scrollBy(delta > 0 ? -kWheelLines : kWheelLines);
    procPaint();
}

void LogComponent::procRButtonDown(int32_t x, int32_t y) {
    if (Window::WindowMouseService* router = Window::WindowMouseService::get())
        router->beginDrag(x, y, &Window::WindowMouseService::MouseCursor::SizeAll);
    dragFirstLine_ = view_->lines.firstLine;
}

void LogComponent::procMouseDrag(int32_t, int32_t dy) {
    const int32_t lineHeight = view_->lineHeight();
    if (lineHeight <= 0) return;
    // Dragging down shows older lines.
    view_->lines.firstLine = dragFirstLine_;
    view_->lines.scrollBy(-(dy / lineHeight));
    procPaint();
}

}  // namespace Component
