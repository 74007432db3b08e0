#include "ui/panels/LogComponent.h"

#include <algorithm>

#include "core/Clipboard.h"
#include "core/Logger.h"
#include "platform/window/Menu.h"
#include "ui/framework/BaseMenu.h"
#include "ui/framework/Host.h"
#include "ui/framework/StyleBrushList.h"
#include "ui/framework/StyleMetrics.h"
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
    header_ = std::make_unique<Control::TitleHeaderControl>(container_, L"ログ");
    const int32_t top = Window::TitleHeaderHeight + 2, s = Window::ScrollBarSize;
    bar_ = std::make_unique<Control::ScrollBarControl>(container_, -s, top, s, 0);
    bar_->wheelStep = kWheelLines;
    bar_->scrollAction = [this](Control::ScrollBarControl&, int32_t first) {
        view_->lines.firstLine = first;
        view_->lines.scrollUpdate();
        procPaint();
    };
    view_ = std::make_unique<LogViewControl>(container_, *this, 0, top, -s, 0);
    container_.updateChildLayout();
}

LogComponent::~LogComponent() = default;

void LogComponent::procPaint() {
    if (!shown() || target == nullptr) return;
    const DrawScope scope(*this, clientRect.x, clientRect.y, clientRect.x + clientRect.w, clientRect.y + clientRect.h,
                          true);
    updateBar();
    for (Window::WindowControl* child : container_.children) child->procPaint();
}

void LogComponent::updateBar() {
    const LogLines& lines = view_->lines;
    bar_->minimum = std::min(lines.lineCount - 1, 0);
    bar_->maximum = std::max(lines.lineCount - 1, 0);
    bar_->setPosition(lines.firstLine, lines.firstLine + lines.visibleLineCount - 1);
}

void LogComponent::addClientMenu(Window::BaseMenu& menu) {
    menu.insertItem(L"ログをコピー", [this] { copyLog(); });
    menu.insertSeparator();
    {
        Window::BaseMenu options(menu, L"オプション");
        const Window::BaseMenu::Item settings = options.insertItem(L"ログの設定", [] {
            if (Window::host().logSettingDialog) Window::host().logSettingDialog();
        });
        if (!Window::host().logSettingDialog)
            Platform::window::enableMenuItem(settings.menu, static_cast<uint32_t>(settings.id), false);
    }
    WindowClientRenderTarget::addClientMenu(menu);
}

void LogComponent::copyLog() {
    System::Logger* logger = System::Logger::get();
    const std::wstring text = logger != nullptr ? LogLines::copyAll(*logger) : std::wstring();
    (void)System::Clipboard::setText(text.c_str());
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
