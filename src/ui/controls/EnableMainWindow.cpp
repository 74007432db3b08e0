#include "ui/controls/EnableMainWindow.h"

#include "platform/window/TopLevel.h"
#include "ui/framework/WindowService.h"

namespace Window {

void enableMainWindow(bool flag) {
    if (!flag) return;
    const WindowService* service = WindowService::get();
    // The window layer keeps no disabled state for a window a dialog
    // covered: bringing it forward is all there is to do.
    if (service != nullptr && service->window != nullptr) Platform::window::setForegroundWindow(service->window);
}

}  // namespace Window
