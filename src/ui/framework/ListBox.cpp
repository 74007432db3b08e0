#include "ui/framework/ListBox.h"

#include <algorithm>

#include "core/Exception.h"
#include "core/TextConvert.h"
#include "platform/window/KeyMap.h"
#include "platform/window/ListBox.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/SystemMetrics.h"
#include "platform/window/TopLevel.h"
#include "ui/framework/WindowService.h"

namespace Window {

namespace W = Platform::window;

W::WindowHandle ListBox::window = nullptr;
W::WindowProc ListBox::previousProc = nullptr;
bool ListBox::listShown = false;
std::unordered_map<int32_t, std::function<void()>> ListBox::actions;
int32_t ListBox::selectedIndex = -1;
void* ListBox::listOwner = nullptr;

namespace {
constexpr int32_t kMinimumHeight = 256;
constexpr int32_t kFrame = 4;
constexpr int32_t kWheelStep = 2;

W::WindowHandle mainWindow() {
    const WindowService* service = WindowService::get();
    return service != nullptr ? service->window : nullptr;
}

intptr_t send(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) {
    return W::sendMessage(ListBox::window, message, wParam, lParam);
}
}  // namespace

void ListBox::initialize() {
    if (!W::isWindow(window)) {
        W::WindowHandle made = W::createListBox(mainWindow());
        if (made == nullptr) throw System::lastErrorException("CreateWindowExW", "Window::ListBox::initialize");
        window = made;
        previousProc = W::getWindowProcedure(window);
        W::setWindowProcedure(window, &ListBox::listProc);
    }
    hide();
    selectedIndex = -1;
}

void ListBox::addEntry(const std::wstring& text, std::function<void()> action) {
    const intptr_t index = send(W::kLbAddString, 0, reinterpret_cast<intptr_t>(System::wideToUtf8(text).c_str()));
    if (index >= 0) actions[static_cast<int32_t>(index)] = std::move(action);
}

void ListBox::show(int32_t x, int32_t y, int32_t width, int32_t offset, void* owner) {
    if (listShown || !W::isWindow(window)) return;
    listShown = true;
    listOwner = owner;
    W::Point point{x, y};
    W::clientToScreen(mainWindow(), point);
    W::Rect client;
    int32_t mainHeight = 0;
    if (W::getClientRect(mainWindow(), client)) mainHeight = client.bottom - client.top;
    const auto itemHeight = static_cast<int32_t>(send(W::kLbGetItemHeight));
    const auto count = static_cast<int32_t>(send(W::kLbGetCount));
    const int32_t height = std::min(itemHeight * count, std::max(mainHeight / 4, kMinimumHeight)) + kFrame;
    const int32_t screenBottom = W::getSystemMetrics(W::kSmYVirtualScreen) + W::getSystemMetrics(W::kSmCyVirtualScreen);
    const int32_t top = point.y + offset + height > screenBottom ? point.y - height : point.y + offset;
    W::moveWindow(window, point.x, top, width, height);
    send(W::kLbSetCurSel, static_cast<uintptr_t>(static_cast<intptr_t>(selectedIndex)));
    send(W::kLbSetTopIndex, static_cast<uintptr_t>(std::max(selectedIndex, 0)));
    W::showWindow(window, W::kSwShow);
    W::invalidateRect(window);
    W::updateWindow(window);
    W::setFocus(window);
}

void ListBox::hide() {
    if (!listShown) return;
    listShown = false;
    if (W::isWindow(window)) {
        W::showWindow(window, W::kSwHide);
        send(W::kLbResetContent);
    }
    actions.clear();
    selectedIndex = 0;
}

void ListBox::runSelected() {
    if (!listShown) return;
    const auto selected = static_cast<int32_t>(send(W::kLbGetCurSel));
    if (selected < 0) return;
    const auto found = actions.find(selected);
    if (found == actions.end() || !found->second) return;  // an entry without an action runs nothing
    const std::function<void()> action = found->second;    // the action may hide the list
    action();
}

void ListBox::moveSelection(int32_t delta) {
    if (!W::isWindow(window)) return;
    const auto count = static_cast<int32_t>(send(W::kLbGetCount));
    if (count <= 0) return;
    const auto current = static_cast<int32_t>(send(W::kLbGetCurSel));
    const int32_t next = std::clamp(current + delta, 0, count - 1);
    send(W::kLbSetCurSel, static_cast<uintptr_t>(next));
    runSelected();
}

intptr_t ListBox::listProc(W::WindowHandle list, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    switch (message) {
    case W::kWmKeyDown:
        if (wParam == W::kVkEscape) {
            hide();
            return 0;
        }
        break;
    case W::kWmMouseMove: {
        const intptr_t hit = previousProc(list, W::kLbItemFromPoint, 0, lParam);
        if ((hit & 0x10000) == 0) previousProc(list, W::kLbSetCurSel, static_cast<uintptr_t>(hit & 0xFFFF), 0);
        return 0;
    }
    case W::kWmLButtonDown:
        runSelected();
        if ((wParam & W::kMkControl) == 0) {
            hide();
            return 0;
        }
        break;
    case W::kWmKillFocus: hide(); return 0;
    case W::kWmDestroy: {
        // Going with the main window: nothing of it may be used again.
        const W::WindowProc previous = previousProc;
        listShown = false;
        actions.clear();
        window = nullptr;
        previousProc = nullptr;
        return previous != nullptr ? previous(list, message, wParam, lParam) : 0;
    }
    case W::kWmMouseWheel: {
        const auto delta = static_cast<int16_t>((wParam >> 16) & 0xFFFF);
        const auto topIndex = static_cast<int32_t>(previousProc(list, W::kLbGetTopIndex, 0, 0));
        const int32_t next = delta < 0 ? topIndex + kWheelStep : std::max(topIndex - kWheelStep, 0);
        previousProc(list, W::kLbSetTopIndex, static_cast<uintptr_t>(next), 0);
        return 0;
    }
    default: break;
    }
    return previousProc != nullptr ? previousProc(list, message, wParam, lParam)
                                   : W::defWindowProc(list, message, wParam, lParam);
}

}  // namespace Window
