#include "ui/panels/ListPanelComponent.h"

#include "core/Log.h"
#include "platform/window/TopLevel.h"
#include "ui/framework/StyleMetrics.h"
#include "ui/framework/WindowService.h"

namespace Component {

ListPanelComponent::ListPanelComponent(const std::wstring* title, const std::string& name,
                                       const DefaultPlacement& defaults, const char* logScope, const char* what)
    : WindowClientRenderTarget(title, name, defaults),
      container_(priority, &clientRect, &clientRect),
      logScope_(logScope),
      what_(what) {
    header_ = std::make_unique<Control::TitleHeaderControl>(container_, *title);
    list_ = std::make_unique<Control::ListItemControl>(container_, header_->layoutH);
    container_.updateChildLayout();
}

ListPanelComponent::~ListPanelComponent() = default;

void ListPanelComponent::procPaint() {
    if (!shown() || target == nullptr) return;
    const DrawScope scope(*this, clientRect.x, clientRect.y, clientRect.x + clientRect.w, clientRect.y + clientRect.h,
                          true);
    for (Window::WindowControl* child : container_.children) child->procPaint();
    logPlace();
}

void ListPanelComponent::procMove() {
    WindowClientRenderTarget::procMove();
    container_.updateChildLayout();
}

void ListPanelComponent::logPlace() {
    if (windowService == nullptr || windowService->window == nullptr) return;
    Platform::window::Point corner{list_->fullRect.x, list_->fullRect.y};
    (void)Platform::window::clientToScreen(windowService->window, corner);
    const std::array<int32_t, 4> place{corner.x, corner.y, list_->fullRect.w, Window::ListItemHeight + 2};
    if (place == loggedPlace_) return;
    loggedPlace_ = place;
    System::Log::verbose(logScope_, "%s rows at %d,%d %dx%d on the screen", what_, place[0], place[1], place[2],
                         place[3]);
}

}  // namespace Component
