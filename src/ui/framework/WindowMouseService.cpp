#include "ui/framework/WindowMouseService.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>

#include "core/Exception.h"
#include "core/SettingService.h"
#include "platform/window/Cursor.h"
#include "platform/window/InputMethod.h"
#include "platform/window/KeyMap.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/Pointer.h"
#include "platform/window/TopLevel.h"
#include "ui/framework/DropFiles.h"

namespace Window {
namespace W = Platform::window;

bool WindowMouseService::routingBusy = false;

using MouseCursor = WindowMouseService::MouseCursor;
MouseCursor MouseCursor::Hidden{0, false};
MouseCursor MouseCursor::Arrow{W::kIdcArrow, true};
MouseCursor MouseCursor::SizeWE{W::kIdcSizeWe, true};
MouseCursor MouseCursor::SizeNS{W::kIdcSizeNs, true};
MouseCursor MouseCursor::SizeAll{W::kIdcSizeAll, true};
MouseCursor MouseCursor::Hand{W::kIdcHand, true};
MouseCursor MouseCursor::IBeam{W::kIdcIBeam, true};
MouseCursor MouseCursor::No{W::kIdcNo, true};
MouseCursor MouseCursor::Wait{W::kIdcWait, true};
MouseCursor MouseCursor::HorizontalArrows{129, false};
MouseCursor MouseCursor::VerticalArrows{143, false};
MouseCursor MouseCursor::Crosshair{130, false};
MouseCursor MouseCursor::SystemCursor32652{W::kIdcPin, true};
MouseCursor MouseCursor::SystemCursor32653{W::kIdcPerson, true};

namespace {

constexpr int kCursorSize = 32;
constexpr int kHotX = 16;
constexpr int kHotY = 9;
constexpr int kRowBytes = kCursorSize / 8;

// One-bit artwork of the program's own cursors, drawn as black shapes with a
// white outline around the hot spot (16, 9).
class CursorArt {
public:
    CursorArt() {
        andMask.fill(0xFF);
        xorMask.fill(0);
    }
    void ink(int x, int y) { set(x, y, false); }
    // A black pixel with a white ring where the ring is still transparent.
    void outlined(int x, int y) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (transparent(x + dx, y + dy)) set(x + dx, y + dy, true);
        ink(x, y);
    }
    std::array<uint8_t, kRowBytes * kCursorSize> andMask{};
    std::array<uint8_t, kRowBytes * kCursorSize> xorMask{};

private:
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < kCursorSize && y < kCursorSize; }
    bool transparent(int x, int y) const {
        return inside(x, y) && (andMask[y * kRowBytes + x / 8] & (0x80 >> (x % 8))) != 0;
    }
    void set(int x, int y, bool white) {
        if (!inside(x, y)) return;
        const uint8_t bit = static_cast<uint8_t>(0x80 >> (x % 8));
        andMask[y * kRowBytes + x / 8] &= static_cast<uint8_t>(~bit);
        if (white)
            xorMask[y * kRowBytes + x / 8] |= bit;
        else
            xorMask[y * kRowBytes + x / 8] &= static_cast<uint8_t>(~bit);
    }
};

CursorArt programCursorArt(uint32_t resource) {
    CursorArt art;
    std::vector<std::pair<int, int>> points;
    if (resource == 129 || resource == 143) {
        // Two arrowheads on a shaft of 15 pixels each way.
        for (int d = -7; d <= 7; ++d) points.emplace_back(d, 0);
        for (int k = 1; k <= 4; ++k)
            for (int s : {-1, 1}) {
                points.emplace_back(-7 + k, s * k);
                points.emplace_back(7 - k, s * k);
            }
        if (resource == 143)
            for (auto& [a, b] : points) std::swap(a, b);
    } else {
        // An open cross: arms of 5 pixels with a gap of 2 around the hot spot.
        for (int d = 3; d <= 7; ++d)
            for (int s : {-1, 1}) {
                points.emplace_back(s * d, 0);
                points.emplace_back(0, s * d);
            }
    }
    for (auto [x, y] : points) art.outlined(kHotX + x, kHotY + y);
    for (auto [x, y] : points) art.ink(kHotX + x, kHotY + y);
    return art;
}

uint32_t packPoint(intptr_t lParam) { return static_cast<uint32_t>(lParam); }

bool contains(const MouseRect& r, int32_t x, int32_t y) {
    return x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h;
}

// Clears routingBusy when the handler that found a target is done, also when
// it throws.
class BusyScope {
public:
    explicit BusyScope(const WindowMouse* target) : owns_(target != nullptr) {}
    ~BusyScope() {
        if (owns_) WindowMouseService::routingBusy = false;
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool owns_;
};

}  // namespace

void MouseCursor::updateWindowCursor() {
    WindowMouseService* router = WindowMouseService::get();
    if (router == nullptr || router->currentCursor == router->appliedCursor) return;
    MouseCursor* cursor = router->currentCursor;
    if (cursor != nullptr && cursor->handle == nullptr) {
        if (cursor->resource == 0) {
            cursor->handle = W::blankCursor();
        } else if (cursor->system) {
            cursor->handle = W::loadSystemCursor(cursor->resource);
        } else {
            const CursorArt art = programCursorArt(cursor->resource);
            cursor->handle = W::createMonochromeCursor(kCursorSize, kCursorSize, kHotX, kHotY, art.andMask.data(),
                                                       art.xorMask.data());
        }
        if (cursor->handle == nullptr)
            throw System::lastErrorException("LoadCursor",
                                             "Window::WindowMouseService::MouseCursor::updateWindowCursor");
    }
    router->appliedCursor = cursor;
    if (router->window != nullptr) W::setWindowCursor(router->window, cursor != nullptr ? cursor->handle : nullptr);
}

WindowMouseService::WindowMouseService() {
    hooks.getCursorPos = [](W::Point& p) { return W::getCursorPos(p); };
    hooks.setCursorPos = [](const W::Point& p) { return W::setCursorPos(p.x, p.y); };
    hooks.screenPixel = [](const W::Point& p, uint8_t rgb[3]) { return W::screenPixel(p.x, p.y, rgb); };
    hooks.imeResultString = [this] { return W::compositionResult(window); };
    const auto start = std::chrono::steady_clock::now();
    hooks.clock = [start] {
        return static_cast<uint64_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
    };
}

WindowMouseService::~WindowMouseService() {
    // Objects that outlive the router must not reach it any more.
    for (WindowMouse* mouse : mice) mouse->service = mouse->secondService = nullptr;
}

void WindowMouseService::attachWindow(W::WindowHandle handle) {
    window = handle;
    defaultCursor = &MouseCursor::Arrow;
    currentCursor = defaultCursor;
    appliedCursor = nullptr;
}

int32_t WindowMouseService::dragWidth() const {
    const Setting::SettingService* settings = Setting::SettingService::get();
    return std::max(settings != nullptr ? settings->system.dragWidth : 4, 1);
}
int32_t WindowMouseService::dragHeight() const {
    const Setting::SettingService* settings = Setting::SettingService::get();
    return std::max(settings != nullptr ? settings->system.dragHeight : 4, 1);
}
uint32_t WindowMouseService::doubleClickTime() const {
    const Setting::SettingService* settings = Setting::SettingService::get();
    return static_cast<uint32_t>(std::max(settings != nullptr ? settings->system.doubleClickTime : 500, 1));
}
uint64_t WindowMouseService::now() const { return hooks.clock(); }

void WindowMouseService::applyCursor() { MouseCursor::updateWindowCursor(); }

void WindowMouseService::unregisterMouse(WindowMouse* mouse) {
    auto it = std::find(mice.begin(), mice.end(), mouse);
    if (it != mice.end()) {
        *it = mice.back();
        mice.pop_back();
    }
    for (WindowMouse** role :
         {&focusTarget, &captureTarget, &hoverTarget, &dropTarget, &keyHoldTarget, &colorPickTarget})
        if (*role == mouse) *role = nullptr;
}

WindowMouse* WindowMouseService::findTarget(int32_t x, int32_t y) { return findTargetIf(x, y, nullptr); }

WindowMouse* WindowMouseService::findTargetIf(int32_t x, int32_t y, const std::function<bool(WindowMouse&)>& filter) {
    WindowMouse* found = captureTarget;
    if (found == nullptr) {
        int64_t bestDistance = 0;
        for (WindowMouse* mouse : mice) {
            if (!mouse->visible || mouse->rect == nullptr || !contains(*mouse->rect, x, y)) continue;
            if (filter && !filter(*mouse)) continue;
            const MouseRect& r = *mouse->rect;
            const int64_t distance = std::llabs(static_cast<int64_t>(x) - (r.x + r.w / 2)) +
                                     std::llabs(static_cast<int64_t>(y) - (r.y + r.h / 2));
            if (found == nullptr || mouse->priority > found->priority ||
                (mouse->priority == found->priority && distance < bestDistance)) {
                found = mouse;
                bestDistance = distance;
            }
        }
        // A disabled object hides whatever lies below it.
        if (found != nullptr && !found->enabled) found = nullptr;
    }
    if (found == nullptr || routingBusy) return nullptr;
    routingBusy = true;
    return found;
}

void WindowMouseService::beginDrag(int32_t offsetX, int32_t offsetY, MouseCursor* cursor) {
    const bool hadTarget = captureTarget != nullptr;
    if (hadTarget) {
        captureTarget->dragging = true;
        dragArmed = true;
        dragStarted = false;
        dragOriginX = captureTarget->rect->x + offsetX;
        dragOriginY = captureTarget->rect->y + offsetY;
    }
    if (hadTarget || dragArmed) {
        currentCursor = cursor;
        if (cursor == &MouseCursor::Hidden) hooks.getCursorPos(savedCursorPos);
    }
}

bool WindowMouseService::setFocus(WindowMouse* mouse) {
    if (focusTarget == nullptr || focusTarget == mouse) return false;
    WindowMouse* old = focusTarget;
    old->focused = false;
    focusTarget = nullptr;
    old->procFocusLost(mouse);
    if (imeState.associated) {
        imeState.associated = false;
        if (window != nullptr) W::associateInputContext(window, false);
    }
    if (keyHoldTarget != nullptr && keyHoldKey == KeyHoldWhileFocused) {
        WindowMouse* holder = keyHoldTarget;
        keyHoldTarget = nullptr;
        keyHoldKey = 0;
        holder->procKeyRelease();
    }
    currentCursor = defaultCursor;
    applyCursor();
    return true;
}

void WindowMouseService::takeFocus(WindowMouse* mouse) {
    if (mouse->focused || focusTarget == mouse) return;
    setFocus(nullptr);
    focusTarget = mouse;
    mouse->focused = true;
    if (window != nullptr && W::getFocus() != window) W::setFocus(window);
    if (!imeState.associated) {
        imeState.associated = true;
        if (window != nullptr) W::associateInputContext(window, true);
    }
}

void WindowMouseService::leaveHover() {
    if (hoverTarget == nullptr) return;
    WindowMouse* old = hoverTarget;
    hoverTarget = nullptr;
    if (old->hovered) {
        old->hovered = false;
        // A hover that fired after the pointer left (a busy loop handles the
        // leave late) may have shown a tip at the cursor: it goes with it.
        if (hooks.hideToolTip) hooks.hideToolTip(true);
        old->procMouseLeave();
        if (window != nullptr) W::trackMouseEvent(window, W::kTmeCancel | W::kTmeHover | W::kTmeLeave, 0);
    }
}

void WindowMouseService::trackHover(WindowMouse* mouse) {
    if (mouse == hoverTarget && window != nullptr)
        W::trackMouseEvent(window, W::kTmeHover | W::kTmeLeave, W::kHoverDefault);
}

void WindowMouseService::cancelColorPick() {
    if (colorPickTarget == nullptr) return;
    WindowMouse* picker = colorPickTarget;
    colorPickTarget = nullptr;
    currentCursor = defaultCursor;
    picker->procPickColor(nullptr);
}

bool WindowMouseService::endColorPick() {
    if (colorPickTarget == nullptr) return false;
    WindowMouse* picker = colorPickTarget;
    colorPickTarget = nullptr;
    currentCursor = defaultCursor;
    const int32_t x = W::lowWordSigned(static_cast<intptr_t>(lastMovePos));
    const int32_t y = W::highWordSigned(static_cast<intptr_t>(lastMovePos));
    W::Point cursor;
    uint8_t rgb[3] = {0, 0, 0};
    if (contains(*picker->rect, x, y) || !hooks.getCursorPos(cursor) || !hooks.screenPixel(cursor, rgb))
        picker->procPickColor(nullptr);
    else
        picker->procPickColor(rgb);
    return true;
}

void WindowMouseService::beginColorPick(WindowMouse* mouse) {
    cancelColorPick();
    endCapture();
    dragArmed = false;
    leaveHover();
    colorPickTarget = mouse;
    currentCursor = &MouseCursor::Crosshair;
    applyCursor();
}

bool WindowMouseService::holdKey(WindowMouse* mouse, int32_t key) {
    if (keyHoldTarget != nullptr && keyHoldKey != key) return false;
    keyHoldTarget = mouse;
    keyHoldKey = key;
    return true;
}

void WindowMouseService::releaseKeyHold() {
    if (keyHoldTarget == nullptr) return;
    if (keyHoldKey == KeyHoldWhileFocused) {
        if (focusTarget != nullptr) return;
    } else if ((W::getAsyncKeyState(static_cast<uint32_t>(keyHoldKey)) & 0x8000) != 0) {
        return;
    }
    WindowMouse* holder = keyHoldTarget;
    keyHoldTarget = nullptr;
    keyHoldKey = 0;
    holder->procKeyRelease();
}

void WindowMouseService::endCapture() {
    if (captureTarget == nullptr) return;
    WindowMouse* old = captureTarget;
    captureTarget = nullptr;
    if (old->dragging) {
        old->dragging = false;
        old->procCaptureLost();
    }
}

void WindowMouseService::cancelCaptureForShortcut() {
    if (captureTarget != nullptr) {
        captureTarget->dragging = false;
        if (dragArmed) {
            dragArmed = false;
            captureTarget->procDragCancel();
        }
    }
    currentCursor = defaultCursor;
    applyCursor();
}

void WindowMouseService::prepareButtonDown(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (hooks.hideToolTip) hooks.hideToolTip(true);
    if (window != nullptr && W::getFocus() != window) W::setFocus(window);
    const uint64_t time = now();
    if (message == pressMessage && time - pressTime < doubleClickTime() && packPoint(lParam) == pressPos) {
        doubleClick = true;
        return;
    }
    pressMessage = message;
    pressTime = time;
    pressPos = packPoint(lParam);
    doubleClick = false;
    if (packPoint(lParam) != lastMovePos) dispatch(window, W::kWmMouseMove, wParam, lParam);
}

W::Point WindowMouseService::toClient(intptr_t lParam) const {
    W::Point p{W::lowWordSigned(lParam), W::highWordSigned(lParam)};
    if (window != nullptr) W::screenToClient(window, p);
    return p;
}

bool WindowMouseService::mouseMove(uintptr_t, intptr_t lParam) {
    const int32_t x = W::lowWordSigned(lParam);
    const int32_t y = W::highWordSigned(lParam);
    if (packPoint(lParam) != lastMovePos && hooks.hideToolTip) hooks.hideToolTip(true);
    bool skipSameTest = false;
    if (dragArmed && currentCursor == &MouseCursor::Hidden) {
        W::Point now;
        if (dragStarted && hooks.getCursorPos(now) && (now.x != savedCursorPos.x || now.y != savedCursorPos.y)) {
            // Only the horizontal movement counts; the cursor stays where it was pressed.
            dragOriginX += savedCursorPos.x - now.x;
            hooks.setCursorPos(savedCursorPos);
            return true;
        }
        skipSameTest = true;
    }
    if (!skipSameTest) {
        if (packPoint(lParam) == lastMovePos) return true;
        lastMovePos = packPoint(lParam);
    }
    if (colorPickTarget != nullptr) return true;
    if (dragArmed) {
        if (!dragStarted) {
            const int32_t dx = std::abs(x - W::lowWordSigned(static_cast<intptr_t>(pressPos)));
            const int32_t dy = std::abs(y - W::highWordSigned(static_cast<intptr_t>(pressPos)));
            if (dx == 0 && dy == 0) return true;
            if (dx < dragWidth() && dy < dragHeight() && static_cast<uint32_t>(now() - pressTime) < doubleClickTime())
                return true;
            dragStarted = true;
        }
        WindowMouse* target = findTarget(x, y);
        BusyScope busy(target);
        if (target != nullptr && target->dragging) target->procMouseDrag(x - dragOriginX, y - dragOriginY);
        applyCursor();
        return true;
    }
    currentCursor = defaultCursor;
    WindowMouse* target = findTarget(x, y);
    BusyScope busy(target);
    if (target != hoverTarget) {
        leaveHover();
        if (target != nullptr) {
            hoverTarget = target;
            target->hovered = true;
            target->procMouseEnter();
            if (window != nullptr) W::trackMouseEvent(window, W::kTmeHover | W::kTmeLeave, W::kHoverDefault);
        }
    }
    if (target != nullptr) target->procMouseMove(x - target->rect->x, y - target->rect->y);
    applyCursor();
    return true;
}

bool WindowMouseService::buttonDown(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    const bool left = message == W::kWmLButtonDown;
    if (left) {
        if (endColorPick()) {
            applyCursor();
            return false;
        }
    } else {
        cancelColorPick();
    }
    prepareButtonDown(message, wParam, lParam);
    if (window != nullptr) W::setCapture(window);
    const int32_t x = W::lowWordSigned(lParam);
    const int32_t y = W::highWordSigned(lParam);
    WindowMouse* target =
        left ? findTarget(x, y) : findTargetIf(x, y, [](WindowMouse& m) { return m.acceptRightButton; });
    BusyScope busy(target);
    const bool tookFocus = setFocus(target);
    if (!left) rightPressTookFocus = tookFocus;
    if (target != captureTarget) {
        endCapture();
        dragArmed = false;
        captureTarget = target;
    }
    if (target != nullptr && !target->dragging) {
        if (left)
            target->procLButtonDown(x - target->rect->x, y - target->rect->y);
        else
            target->procRButtonDown(x - target->rect->x, y - target->rect->y);
    }
    applyCursor();
    return target != nullptr && target->dragging;
}

bool WindowMouseService::buttonUp(uint32_t message, intptr_t lParam) {
    const bool left = message == W::kWmLButtonUp;
    const int32_t x = W::lowWordSigned(lParam);
    const int32_t y = W::highWordSigned(lParam);
    WindowMouse* target =
        left ? findTarget(x, y) : findTargetIf(x, y, [](WindowMouse& m) { return m.acceptRightButton; });
    bool consumed = false;
    {
        BusyScope busy(target);
        if (target != nullptr && target->dragging) {
            if (left)
                target->procLButtonUp(x - target->rect->x, y - target->rect->y);
            else
                target->procRButtonUp(x - target->rect->x, y - target->rect->y);
        }
        consumed = target != nullptr && target->dragging && dragStarted;
        applyCursor();
    }
    // The capture change that follows ends the capture.
    W::releaseCapture();
    if (W::getCapture() == nullptr && captureTarget != nullptr) dispatch(window, W::kWmCaptureChanged, 0, 0);
    if (!left && rightPressTookFocus) return true;
    return consumed;
}

bool WindowMouseService::wheel(uintptr_t wParam, intptr_t lParam) {
    const uint64_t time = now();
    const W::Point p = toClient(lParam);
    const uint32_t latch = doubleClickTime();
    WindowMouse* target = findTargetIf(p.x, p.y, [&](WindowMouse& m) {
        // Before the first wheel step there is no gesture to stay with.
        return m.acceptWheel && m.isWheelTarget() &&
               (lastWheelTarget == nullptr || &m == lastWheelTarget || time - lastWheelTime > latch);
    });
    BusyScope busy(target);
    setFocus(target);
    if (target != nullptr) {
        lastWheelTarget = target;
        lastWheelTime = time;
        target->procMouseWheel(p.x - target->rect->x, p.y - target->rect->y,
                               W::highWordSigned(static_cast<intptr_t>(wParam)));
    }
    applyCursor();
    return true;
}

bool WindowMouseService::keyDown(uint32_t message, uintptr_t wParam) {
    W::Message waiting;
    if (W::peekMessage(waiting, window, message, message, W::kPmNoRemove) && waiting.wParam == wParam) return false;
    cancelColorPick();
    const int32_t key = static_cast<int32_t>(wParam);
    if (message == W::kWmSysKeyDown) {
        sysKeyResult = hooks.shortcut ? hooks.shortcut(key, true) : false;
        return sysKeyResult;
    }
    if (dragArmed && captureTarget != nullptr) {
        if (key >= 37 && key <= 40) dragStarted = true;
        if (captureTarget->procDragKey(key)) return true;
    }
    if (focusTarget != nullptr) return focusTarget->procKeyDown(key);
    return hooks.shortcut ? hooks.shortcut(key, false) : false;
}

void WindowMouseService::imeComposition(bool start, intptr_t lParam) {
    if (start) {
        if (focusTarget != nullptr && focusTarget->procFocusIme(imeState)) return;
        if (imeState.associated) {
            imeState.associated = false;
            if (window != nullptr) W::associateInputContext(window, false);
        }
        return;
    }
    if ((lParam & kGcsResultStr) == 0 || focusTarget == nullptr || !imeState.associated || !hooks.imeResultString)
        return;
    const std::u16string text = hooks.imeResultString();
    if (!text.empty()) focusTarget->procImeString(text);
}

void WindowMouseService::dropLeave() {
    if (dropTarget == nullptr) return;
    if (hooks.hideToolTip) hooks.hideToolTip(false);
    WindowMouse* old = dropTarget;
    dropTarget = nullptr;
    old->procDragLeave();
}

bool WindowMouseService::drop(uint32_t message, intptr_t lParam) {
    auto* files = reinterpret_cast<DropFiles*>(lParam);
    if (files == nullptr || files->files.empty()) return true;
    W::Point p = files->point;
    if (window != nullptr) W::screenToClient(window, p);
    WindowMouse* target = findTargetIf(p.x, p.y, [](WindowMouse& m) { return m.acceptDrop; });
    BusyScope busy(target);
    if (message == kWmDrop && hooks.hideToolTip) hooks.hideToolTip(false);
    if (target != dropTarget) {
        dropLeave();
        dropTarget = target;
    }
    if (target == nullptr) return true;
    const int32_t lx = p.x - target->rect->x;
    const int32_t ly = p.y - target->rect->y;
    if (message == kWmDragOver) {
        if (target->procDragOver(lx, ly, *files)) {
            files->accepted = true;
            if (window != nullptr && W::getActiveWindow() != window) W::setForegroundWindow(window);
        }
    } else if (target->procDrop(lx, ly, *files)) {
        files->accepted = true;
    }
    return true;
}

bool WindowMouseService::contextMenu(intptr_t lParam) {
    cancelColorPick();
    const W::Point p = toClient(lParam);
    WindowMouse* target = findTargetIf(p.x, p.y, [](WindowMouse& m) { return m.acceptContextMenu; });
    BusyScope busy(target);
    if (target != nullptr) target->procContextMenu(p.x - target->rect->x, p.y - target->rect->y);
    applyCursor();
    return true;
}

bool WindowMouseService::dispatch(W::WindowHandle, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    switch (message) {
    case W::kWmActivate:
        if ((wParam & 0xFFFF) != 0)
            releaseKeyHold();
        else if (endColorPick())
            applyCursor();
        return false;
    case W::kWmKillFocus: setFocus(nullptr); return true;
    case W::kWmContextMenu: return contextMenu(lParam);
    case W::kWmNcMouseMove: leaveHover(); return true;
    case W::kWmKeyDown:
    case W::kWmSysKeyDown: return keyDown(message, wParam);
    case W::kWmKeyUp:
        if (keyHoldTarget != nullptr && keyHoldKey == static_cast<int32_t>(wParam)) {
            WindowMouse* holder = keyHoldTarget;
            keyHoldTarget = nullptr;
            keyHoldKey = 0;
            holder->procKeyRelease();
        }
        return false;
    case W::kWmChar: return focusTarget != nullptr && focusTarget->procChar(static_cast<char16_t>(wParam));
    case W::kWmSysChar: return sysKeyResult;
    case kWmImeStartComposition: imeComposition(true, lParam); return false;
    case kWmImeComposition: imeComposition(false, lParam); return false;
    case W::kWmMouseMove: return mouseMove(wParam, lParam);
    case W::kWmLButtonDown:
    case W::kWmRButtonDown: return buttonDown(message, wParam, lParam);
    case W::kWmLButtonUp:
    case W::kWmRButtonUp: return buttonUp(message, lParam);
    case W::kWmMouseWheel: return wheel(wParam, lParam);
    case W::kWmCaptureChanged:
        endCapture();
        dragArmed = false;
        currentCursor = defaultCursor;
        applyCursor();
        return true;
    case kWmImeChar: return true;
    case W::kWmMouseHover:
        if (hoverTarget != nullptr && !hoverTarget->dragging) hoverTarget->procMouseHover();
        return true;
    case W::kWmMouseLeave: leaveHover(); return true;
    case kWmDragOver:
    case kWmDrop: return drop(message, lParam);
    case kWmDragLeave: dropLeave(); return true;
    default: return false;
    }
}

}  // namespace Window
