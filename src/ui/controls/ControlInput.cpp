#include "ui/controls/ControlInput.h"

#include "ui/framework/ToolTips.h"
#include "ui/framework/WindowMouse.h"
#include "ui/framework/WindowMouseService.h"

namespace Window {

void ControlInput::claimPress(WindowMouse& mouse) {
    mouse.dragging = true;
    if (WindowMouseService* router = WindowMouseService::get()) router->dragStarted = true;
}

void ControlInput::armDrag(WindowMouse& mouse, int32_t x, int32_t y) {
    WindowMouseService* router = WindowMouseService::get();
    if (router == nullptr || router->captureTarget != &mouse) {
        mouse.dragging = true;
        return;
    }
    router->beginDrag(x, y, router->currentCursor);
}

bool ControlInput::passCapture(WindowMouse& from, WindowMouse& mouse) {
    WindowMouseService* router = WindowMouseService::get();
    if (router == nullptr || router->captureTarget != &from) return false;
    from.dragging = false;
    router->captureTarget = &mouse;
    return true;
}

StyleBrushList::Index ControlInput::bodyColour(const WindowMouse& mouse) {
    if (!mouse.enabled) return StyleBrushList::ButtonBodyDisable;
    if (mouse.dragging) return StyleBrushList::ButtonBodyPress;
    if (mouse.hovered) return StyleBrushList::ButtonBodyHover;
    return StyleBrushList::ButtonBody;
}

void ControlInput::showToolTip(const std::wstring& text) {
    if (text.empty()) return;
    ToolTips::showAtCursor(text.c_str());
}

}  // namespace Window
