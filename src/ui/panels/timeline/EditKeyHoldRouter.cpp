#include "ui/panels/timeline/EditKeyHoldRouter.h"

#include "platform/window/KeyMap.h"
#include "ui/controls/WindowControl.h"
#include "ui/framework/WindowMouseService.h"

namespace Component {

namespace {
Window::WindowMouseService* router() { return Window::WindowMouseService::get(); }
}  // namespace

bool EditKeyHoldRouter::hasKeyHoldTarget() const { return router() != nullptr && router()->keyHoldTarget != nullptr; }

uint32_t EditKeyHoldRouter::keyHoldCode() const {
    return router() != nullptr ? static_cast<uint32_t>(router()->keyHoldKey) : 0;
}

bool EditKeyHoldRouter::hasFocusTarget() const { return router() != nullptr && router()->focusTarget != nullptr; }

bool EditKeyHoldRouter::isKeyDown(uint32_t virtualKey) const {
    return (Platform::window::getKeyState(virtualKey) & 0x8000) != 0;
}

void EditKeyHoldRouter::setKeyHoldTarget(Window::WindowControl* control, uint32_t code) {
    if (router() == nullptr || control == nullptr) return;
    if (code != kFocusHold && !isKeyDown(code)) return;
    const int32_t key =
        code == kFocusHold ? Window::WindowMouseService::KeyHoldWhileFocused : static_cast<int32_t>(code);
    router()->holdKey(control, key);
}

}  // namespace Component
