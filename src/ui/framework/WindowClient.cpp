#include "ui/framework/WindowClient.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "core/SettingService.h"
#include "platform/window/Menu.h"
#include "ui/framework/BaseMenu.h"
#include "ui/framework/PopupMenu.h"
#include "ui/framework/StyleMetrics.h"
#include "ui/framework/WindowService.h"

namespace Window {

namespace W = Platform::window;

namespace {

WindowService* requireService() {
    WindowService* service = WindowService::get();
    if (service == nullptr) throw std::logic_error("Window::WindowClient: the window service does not exist");
    return service;
}

void greyItem(const BaseMenu::Item& item, bool grey) {
    if (grey) W::enableMenuItem(item.menu, static_cast<uint32_t>(item.id), false);
}

}  // namespace

WindowClient::WindowClient(const std::wstring* title, const std::string& name, const DefaultPlacement& defaults)
    : WindowMouse(&clientRect, 100),
      windowService(requireService()),
      title(title),
      section_("Window." + name),
      group_(section_.c_str()),
      left_(group_, "left", &placement.left, defaults.left),
      top_(group_, "top", &placement.top, defaults.top),
      right_(group_, "right", &placement.right, defaults.right),
      bottom_(group_, "bottom", &placement.bottom, defaults.bottom),
      area_(group_, "area", &placement.area, defaults.area),
      hide_(group_, "hide", &placement.hide, defaults.shown ? 0 : 1),
      binding_(group_, Setting::SettingService::mainSettings()) {
    acceptContextMenu = true;
    // The record first: without a settings document nothing is loaded.
    for (System::Config::Parameter* parameter : group_.parameters()) parameter->reset();
    if (System::IniFile* settings = Setting::SettingService::mainSettings()) group_.load(*settings);
    // A fraction read as not-a-number or infinite would poison every
    // rectangle of the layout: such a value takes its default.
    const float fallback[] = {defaults.left, defaults.top, defaults.right, defaults.bottom};
    for (int32_t k = 0; k < 4; ++k)
        if (!std::isfinite(placement.edge(k))) placement.edge(k) = fallback[k];
    clientRect = {HiddenPosition, HiddenPosition, 0, 0};
    windowService->clients.push_back(this);
}

WindowClient::~WindowClient() {
    if (WindowService::get() == windowService) std::erase(windowService->clients, this);
}

void WindowClient::procMove() {}

WindowClient::PixelSpan WindowClient::pixelSpan(int32_t width, int32_t height) const {
    return {int32_t(double(width) * placement.left), int32_t(double(width) * placement.right) - WindowSeparatorSize,
            int32_t(double(height) * placement.top), int32_t(double(height) * placement.bottom) - WindowSeparatorSize};
}

void WindowClient::updateRect(bool force) {
    if (!shown()) {
        const bool parked =
            clientRect.x == HiddenPosition && clientRect.y == HiddenPosition && clientRect.w == 0 && clientRect.h == 0;
        if (!parked) {
            clientRect = {HiddenPosition, HiddenPosition, 0, 0};
            procMove();
        } else if (force) {
            procMove();
        }
        return;
    }
    const PixelSpan s = pixelSpan(windowService->layoutWidth, windowService->layoutHeight);
    const MouseRect next{s.x0 + 1, s.y0, std::max(s.xr - s.x0, 0), std::max(s.yb - s.y0, 0)};
    const bool changed =
        next.x != clientRect.x || next.y != clientRect.y || next.w != clientRect.w || next.h != clientRect.h;
    clientRect = next;
    if (changed || force) {
        procMove();
        procPaint();
    }
}

void WindowClient::show(bool visible) {
    placement.hide = visible ? 0 : 1;
    updateRect(false);
}

void WindowClient::procContextMenu(int32_t, int32_t) {
    PopupMenu menu;
    addClientMenu(menu);
    menu.show();
}

void WindowClient::addClientMenu(BaseMenu& menu) {
    BaseMenu placementMenu(menu, L"ウィンドウ配置");
    static const wchar_t* const areaLabels[] = {L"左側エリア", L"右側エリア", L"上側エリア", L"下側エリア",
                                                L"中央エリア"};
    for (int32_t area = Left; area <= Centre; ++area) {
        const BaseMenu::Item item = placementMenu.insertItem(areaLabels[area], [this, area] {
            placement.area = area;
            windowService->updateLayout();
        });
        item.setRadioCheck();
        if (placement.area == area) W::checkMenuItem(item.menu, static_cast<uint32_t>(item.id), true);
    }
    placementMenu.insertSeparator();
    const std::vector<WindowClient*> sorted = windowService->sortedAreaClients(placement.area);
    if (const auto found = std::find(sorted.begin(), sorted.end(), this); found != sorted.end()) {
        const auto n = static_cast<int32_t>(sorted.size());
        const auto i = static_cast<int32_t>(found - sorted.begin());
        const bool atStart = n <= 1 || i <= 0;
        const bool atEnd = n <= 1 || i >= n - 1;
        BaseMenu move(placementMenu, L"ウィンドウの移動");
        greyItem(move.insertItem(L"先頭に移動", [this] { moveToFirst(); }), atStart);
        greyItem(move.insertItem(L"上に移動", [this] { swapWithNeighbour(-1); }), atStart);
        greyItem(move.insertItem(L"下に移動", [this] { swapWithNeighbour(1); }), atEnd);
        greyItem(move.insertItem(L"最後に移動", [this] { moveToLast(); }), atEnd);
    }
    placementMenu.insertSeparator();
    placementMenu.insertItem(L"ウィンドウを閉じる", [this] { toggleShown(); });
}

void WindowClient::moveToFirst() {
    const std::vector<WindowClient*> panels = windowService->areaClients(placement.area);
    if (panels.size() >= 2) {
        float left = placement.left, top = placement.top;
        for (const WindowClient* c : panels) {
            left = std::min(left, c->placement.left);
            top = std::min(top, c->placement.top);
        }
        const float width = placement.right - placement.left;
        const float height = placement.bottom - placement.top;
        for (WindowClient* c : panels) {
            if (c == this) continue;
            auto& p = c->placement;
            if (p.left < placement.left) p.left += width, p.right += width;
            if (p.top < placement.top) p.top += height, p.bottom += height;
        }
        placement = {left, top, left + width, top + height, placement.area, placement.hide};
        windowService->arrangeClients();
    }
    windowService->updateLayout();
}

void WindowClient::moveToLast() {
    const std::vector<WindowClient*> panels = windowService->areaClients(placement.area);
    if (panels.size() >= 2) {
        float right = placement.right, bottom = placement.bottom;
        for (const WindowClient* c : panels) {
            right = std::max(right, c->placement.right);
            bottom = std::max(bottom, c->placement.bottom);
        }
        const float width = placement.right - placement.left;
        const float height = placement.bottom - placement.top;
        for (WindowClient* c : panels) {
            if (c == this) continue;
            auto& p = c->placement;
            if (p.right > placement.right) p.left -= width, p.right -= width;
            if (p.bottom > placement.bottom) p.top -= height, p.bottom -= height;
        }
        placement = {right - width, bottom - height, right, bottom, placement.area, placement.hide};
        windowService->arrangeClients();
    }
    windowService->updateLayout();
}

void WindowClient::swapWithNeighbour(int32_t step) {
    const std::vector<WindowClient*> sorted = windowService->sortedAreaClients(placement.area);
    const auto found = std::find(sorted.begin(), sorted.end(), this);
    if (sorted.size() >= 2 && found != sorted.end()) {
        const auto i = found - sorted.begin() + step;
        if (i >= 0 && i < static_cast<std::ptrdiff_t>(sorted.size())) {
            for (int32_t k = 0; k < 4; ++k) std::swap(placement.edge(k), sorted[size_t(i)]->placement.edge(k));
            windowService->arrangeClients();
        }
    }
    windowService->updateLayout();
}

void WindowClient::toggleShown() {
    if (!shown()) {
        windowService->makeRoomForClient(*this);
        show(true);
    } else {
        show(false);
    }
    windowService->updateLayout();
}

}  // namespace Window
