#include "ui/framework/WindowMouse.h"

#include <stdexcept>

#include "ui/framework/WindowMouseService.h"

namespace Window {

WindowMouse::WindowMouse(const MouseRect* rect, int32_t priority) : rect(rect), priority(priority) {
    service = WindowMouseService::get();
    if (service == nullptr) throw std::logic_error("Window::WindowMouse: the mouse router does not exist");
    secondService = service;
    service->mice.push_back(this);
}

WindowMouse::~WindowMouse() {
    if (service != nullptr) service->unregisterMouse(this);
}

void WindowMouse::procMouseMove(int32_t, int32_t) {}
void WindowMouse::procMouseDrag(int32_t, int32_t) {}
void WindowMouse::procDragCancel() {}
bool WindowMouse::procDragKey(int32_t) { return false; }
void WindowMouse::procKeyRelease() {}
void WindowMouse::procLButtonDown(int32_t, int32_t) {}
void WindowMouse::procLButtonUp(int32_t, int32_t) {}
void WindowMouse::procRButtonDown(int32_t, int32_t) {}
void WindowMouse::procRButtonUp(int32_t, int32_t) {}
void WindowMouse::procMouseEnter() {}
void WindowMouse::procMouseLeave() {}
void WindowMouse::procCaptureLost() {}
void WindowMouse::procMouseWheel(int32_t, int32_t, int32_t) {}
bool WindowMouse::isWheelTarget() { return true; }
bool WindowMouse::procKeyDown(int32_t) { return false; }
bool WindowMouse::procChar(char16_t) { return false; }
void WindowMouse::procImeString(const std::u16string& text) {
    for (char16_t unit : text) procChar(unit);
}
void WindowMouse::procFocusLost(WindowMouse*) {}
void WindowMouse::procContextMenu(int32_t, int32_t) {}
bool WindowMouse::procFocusIme(ImeState&) { return false; }
bool WindowMouse::procDragOver(int32_t, int32_t, DropFiles&) { return false; }
bool WindowMouse::procDrop(int32_t, int32_t, DropFiles&) { return false; }
void WindowMouse::procDragLeave() {}
void WindowMouse::procPickColor(const uint8_t*) {}
void WindowMouse::procMouseHover() {}

void WindowMouse::takeFocus() { service->takeFocus(this); }

}  // namespace Window
