#include "ui/framework/ToolTips.h"

#include "core/EventService.h"
#include "core/Exception.h"
#include "core/TextConvert.h"
#include "core/TranslateService.h"
#include "platform/window/SystemMetrics.h"
#include "platform/window/ToolTip.h"
#include "platform/window/TopLevel.h"
#include "ui/framework/WindowMouse.h"
#include "ui/framework/WindowMouseService.h"
#include "ui/framework/WindowService.h"

namespace Window {

namespace W = Platform::window;

W::WindowHandle ToolTips::window = nullptr;
std::wstring ToolTips::text;
bool ToolTips::shown = false;
int32_t ToolTips::timeout = 0;
System::Timer& ToolTips::timer() {
    static auto* kept = new System::Timer;
    return *kept;
}

namespace {
constexpr int32_t kMaxTipWidth = 65536;  // only the text's own line breaks break lines
constexpr int32_t kBelowTimeout = 3000;

W::WindowProc g_tipProc = nullptr;

// The tip's own procedure, told when the tip goes with the main window.
intptr_t tipProc(W::WindowHandle tip, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    const W::WindowProc previous = g_tipProc;
    if (message == W::kWmDestroy && tip == ToolTips::window) {
        ToolTips::timer().clear();
        ToolTips::window = nullptr;
        ToolTips::shown = false;
        ToolTips::timeout = 0;
        ToolTips::text.clear();
    }
    return previous != nullptr ? previous(tip, message, wParam, lParam)
                               : W::defWindowProc(tip, message, wParam, lParam);
}
}  // namespace

void ToolTips::initialize() {
    if (W::isWindow(window)) return;
    const WindowService* service = WindowService::get();
    W::WindowHandle made = W::createToolTipWindow(service != nullptr ? service->window : nullptr);
    if (made == nullptr) throw System::lastErrorException("CreateWindowExW", "Window::ToolTips::initialize");
    window = made;
    g_tipProc = W::getWindowProcedure(window);
    W::setWindowProcedure(window, tipProc);
    text.clear();
    shown = false;
    timeout = 0;
    (void)W::setToolTipText(window, "");
    (void)W::setToolTipMaxWidth(window, kMaxTipWidth);
    if (WindowMouseService* router = WindowMouseService::get()) router->hooks.hideToolTip = &ToolTips::hideFor;
    if (Event::EventService* events = Event::EventService::get())
        events->exitListeners.add([] {
            hide();
            if (W::isWindow(window)) W::destroyWindow(window);
        });
}

void ToolTips::show(W::Point point, const wchar_t* shownText, int32_t newTimeout) {
    initialize();
    if (newTimeout != 0) {
        timeout = newTimeout;
        if (newTimeout > 0) {
            timer().set(static_cast<uint32_t>(newTimeout), [] {
                if (shown && timeout != 0)
                    hide();
                else
                    timer().clear();
            });
        } else {
            // A tip that follows the cursor goes with the cursor, not with an
            // earlier tip's time.
            timer().clear();
        }
    } else if (timeout != 0) {
        timeout = 0;
        timer().clear();
    }

    std::wstring translated =
        Translate::translated(Translate::TranslateService::Table::Message, shownText != nullptr ? shownText : L"");
    if (translated.size() > TipTextCapacity - 1) translated.resize(TipTextCapacity - 1);
    if (translated != text) {
        text = translated;
        (void)W::setToolTipText(window, System::wideToUtf8(text));
    }

    (void)W::trackToolTipPosition(window, point);
    if (!shown) {
        shown = true;
        (void)W::trackToolTipActivate(window, true);
    }

    W::Rect tip;
    if (W::getWindowRect(window, tip)) {
        const int32_t screenRight =
            W::getSystemMetrics(W::kSmXVirtualScreen) + W::getSystemMetrics(W::kSmCxVirtualScreen);
        if (tip.right > screenRight)
            (void)W::trackToolTipPosition(window, {point.x - (tip.right - screenRight), point.y});
    }
}

void ToolTips::hide() {
    shown = false;
    timeout = 0;
    timer().clear();
    if (W::isWindow(window)) (void)W::trackToolTipActivate(window, false);
}

void ToolTips::hideFor(bool cursorBoundOnly) {
    if (!shown) return;
    if (!cursorBoundOnly || timeout < 0) hide();
}

void ToolTips::showAtCursor(const wchar_t* shownText) {
    W::Point point;
    if (!W::getCursorPos(point)) return;
    point.y += W::getSystemMetrics(W::kSmCyCursor);
    show(point, shownText, -1);
}

void ToolTips::showBeside(const MouseRect& rect, const wchar_t* shownText) {
    W::Point point{rect.x + rect.w + 2, rect.y};
    if (const WindowService* service = WindowService::get()) W::clientToScreen(service->window, point);
    show(point, shownText, 0);
}

void ToolTips::showBelow(W::WindowHandle below, const wchar_t* title, const wchar_t* shownText) {
    W::Rect rect;
    if (!W::getWindowRect(below, rect)) return;
    showBelow(rect, title, shownText);
}

void ToolTips::showBelow(const W::Rect& rect, const wchar_t* title, const wchar_t* shownText) {
    const std::wstring full = std::wstring(Translate::translated(Translate::TranslateService::Table::Message,
                                                                 title != nullptr ? title : L"")) +
                              L" " + (shownText != nullptr ? shownText : L"");
    show({rect.left, rect.bottom + 1}, full.c_str(), kBelowTimeout);
}

}  // namespace Window
