#include "ui/controls/EditControl.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "core/Clipboard.h"
#include "core/Exception.h"
#include "core/SettingService.h"
#include "core/TextConvert.h"
#include "media/gpu/ResourceService.h"
#include "platform/draw2d/RenderTarget.h"
#include "platform/draw2d/TextHitTest.h"
#include "platform/window/InputMethod.h"
#include "platform/window/KeyMap.h"
#include "platform/window/MessageQueue.h"
#include "ui/controls/ControlInput.h"
#include "ui/controls/EditScrollBarControl.h"
#include "ui/framework/PopupMenu.h"
#include "ui/framework/WindowMouseService.h"

namespace Control {

namespace W = Platform::window;
namespace D2 = Platform::draw2d;
using Brushes = Window::StyleBrushList;
using Router = Window::WindowMouseService;

namespace {

constexpr std::wstring_view kDelimiters = L" ,(){}[]=+-/*<>#|\"\n\t";

bool isDelimiter(wchar_t c) { return c <= 255 && kDelimiters.find(c) != std::wstring_view::npos; }
bool held(uint32_t vk) { return (W::getKeyState(vk) & 0x8000) != 0; }
int32_t nearest(float v) { return static_cast<int32_t>(std::lround(v)); }

const std::wregex& lineEndPattern() {
    static const std::wregex pattern(L"(\r\n|\r)");
    return pattern;
}

uint32_t caretBlinkTime() {
    const Setting::SettingService* settings = Setting::SettingService::get();
    return static_cast<uint32_t>(std::max(settings != nullptr ? settings->system.caretBlinkTime : 500, 1));
}

}  // namespace

EditControl::EditControl(Window::ControlContainer& owner) : WindowControlRenderTarget(owner, 0, 0, 0, 0) {
    construct();
}

EditControl::EditControl(Window::WindowControl& parent, int32_t x, int32_t w)
    : WindowControlRenderTarget(parent, x, 0, w, 0) {
    construct();
}

void EditControl::construct() {
    if (Resource::ResourceService* resources = Resource::ResourceService::get())
        textFormat = resources->textFormats[Resource::ResourceService::kEditControl].get();
    updateTextLayout();
    updateScroll();
}

EditControl::~EditControl() {
    caretTimer.clear();
    onChange = nullptr;
    onScroll = nullptr;
    keyFilter = nullptr;
    if (scrollBar != nullptr && scrollBar->editor == this) scrollBar->editor = nullptr;
}

// ---- focus ----

void EditControl::restartCaretTimer() {
    caretTimer.set(caretBlinkTime(), [this] {
        caretVisible = !caretVisible;
        invalidate();
    });
}

void EditControl::takeFocus() {
    if (scrollBar != nullptr) acceptWheel = true;
    if (menuOnFocus) acceptRightButton = true;
    if (Router* router = Router::get()) router->takeFocus(this);
}

void EditControl::setFocus(bool take) {
    if (!take) {
        if (Router* router = Router::get(); router != nullptr && router->focusTarget == this) {
            router->setFocus(nullptr);
        } else {
            procFocusLost(nullptr);
        }
        return;
    }
    caretVisible = true;
    restartCaretTimer();
    takeFocus();
    invalidate();
}

bool EditControl::canFocus() { return visible && enabled; }

void EditControl::procFocusLost(Window::WindowMouse*) {
    if (scrollBar != nullptr) acceptWheel = false;
    if (menuOnFocus) acceptRightButton = false;
    anchor = caret;
    clearSelection();
    caretTimer.clear();
    pendingHigh_ = 0;
    invalidate();
}

// ---- owner operations ----

void EditControl::setText(const std::wstring& value) {
    text = value;
    updateTextLayout();
    anchor = std::clamp(anchor, 0, length);
    clearSelection();
    updateScroll();
    invalidate();
}

void EditControl::select(int32_t start, int32_t end, int32_t caretAt) {
    start = std::clamp(start, 0, length);
    end = std::clamp(end, 0, length);
    caret = setCaret(caretAt);
    anchor = caret == end ? start : end;
    selectionStart = std::min(start, end);
    selectionEnd = std::max(start, end);
    if (selectionStart == selectionEnd) clearSelection();
    updateScroll();
    invalidate();
}

void EditControl::setInputFilter(const std::wstring& pattern) {
    if (pattern.empty()) {
        inputFilter.reset();
        filter_.reset();
        return;
    }
    inputFilter = pattern;
    filter_.emplace(pattern);
}

std::wstring EditControl::selectedText() const {
    if (!hasSelection()) return {};
    return text.substr(size_t(selectionStart), size_t(selectionEnd - selectionStart));
}

// ---- primitives ----

bool EditControl::matchesFilter(const std::wstring& value) const {
    return !filter_ || std::regex_match(value, *filter_);
}

void EditControl::insertText(const std::wstring& value) {
    // Line ends become LF before the caret moves past them, so the caret ends
    // right behind the inserted text.
    std::wstring source = value;
    if (source.find(L'\r') != std::wstring::npos) source = std::regex_replace(source, lineEndPattern(), L"\n");
    std::wstring kept;
    if (filter_) {
        for (auto it = std::wsregex_iterator(source.begin(), source.end(), *filter_); it != std::wsregex_iterator();
             ++it)
            kept += it->str();
    } else {
        kept = source;
    }
    if (kept.empty()) return;
    caret = std::clamp(caret, 0, length);
    text.insert(size_t(caret), kept);
    caret += static_cast<int32_t>(kept.size());
    updateTextLayout();
}

void EditControl::eraseText(int32_t begin, int32_t end) {
    begin = std::clamp(begin, 0, length);
    end = std::clamp(end, begin, length);
    const int32_t count = end - begin;
    if (count == 0) return;
    if (begin < caret) caret = std::max(begin, caret - count);
    text.erase(size_t(begin), size_t(count));
    updateTextLayout();
}

void EditControl::deleteForward() {
    if (caret < length) eraseText(caret, caret + 1);
}

void EditControl::deleteBackward() {
    if (caret > 0) eraseText(caret - 1, caret);
}

int32_t EditControl::setCaret(int32_t position) const { return std::clamp(position, 0, length); }

int32_t EditControl::lineEnd(int32_t position) const {
    const size_t found = text.find(L'\n', size_t(std::clamp(position, 0, length)));
    return found == std::wstring::npos ? length : static_cast<int32_t>(found);
}

int32_t EditControl::lineStart(int32_t position) const {
    const int32_t p = std::clamp(position, 0, length);
    if (p == 0) return 0;
    const size_t found = text.rfind(L'\n', size_t(p - 1));
    return found == std::wstring::npos ? 0 : static_cast<int32_t>(found) + 1;
}

void EditControl::updateTextLayout() {
    if (text.find(L'\r') != std::wstring::npos) text = std::regex_replace(text, lineEndPattern(), L"\n");
    length = static_cast<int32_t>(text.size());
    caret = std::clamp(caret, 0, length);
    if (textFormat == nullptr) return;
    layout.create(*textFormat, text.c_str(), length);
    const D2::TextMetrics m = layout.getMetrics();
    hitTestCapacity = static_cast<int32_t>(D2::maxBidiReorderingDepth(*layout.get()) * m.lineCount);
    textWidth = static_cast<int32_t>(std::ceil(m.width));
    textHeight = static_cast<int32_t>(std::ceil(m.height));
}

int32_t EditControl::getTextPosition(float x, float y) const {
    if (layout.get() == nullptr) return 0;
    bool trailing = false, inside = false;
    D2::HitTestMetrics m;
    if (const auto hr = D2::hitTestPoint(*layout.get(), x, y, trailing, inside, m); Platform::failed(hr))
        throw System::hresultException("layout->HitTestPoint", "Control::EditControl::getTextPosition", hr);
    int32_t position = static_cast<int32_t>(m.textPosition);
    if (trailing) position += static_cast<int32_t>(std::max<uint32_t>(m.length, 1));
    return std::min(position, length);
}

bool EditControl::caretMetrics(float& left, float& top, float& width, float& height, const char* call,
                               const char* scope) const {
    if (layout.get() == nullptr) return false;
    float x = 0, y = 0;
    D2::HitTestMetrics m;
    if (const auto hr = D2::hitTestTextPosition(*layout.get(), uint32_t(caret), false, x, y, m); Platform::failed(hr))
        throw System::hresultException(call, scope, hr);
    left = x;
    top = y;
    width = m.width;
    height = m.height;
    return true;
}

void EditControl::hidePointer() {
    Router* router = Router::get();
    if (router == nullptr) return;
    router->currentCursor = &Router::MouseCursor::Hidden;
    router->applyCursor();
}

void EditControl::afterEdit() {
    anchor = caret;
    caretVisible = true;
    clearSelection();
    restartCaretTimer();
    updateScroll();
    updateImePosition();
    invalidate();
    hidePointer();
    if (onChange) onChange(*this);
}

void EditControl::clearSelection() { selectionStart = selectionEnd = 0; }

void EditControl::spanSelection() {
    const int32_t a = std::clamp(anchor, 0, length);
    selectionStart = std::min(a, caret);
    selectionEnd = std::max(a, caret);
    if (selectionStart == selectionEnd) clearSelection();
}

void EditControl::deleteSelection() {
    if (!hasSelection()) return;
    const int32_t start = selectionStart, end = selectionEnd;
    clearSelection();
    eraseText(start, end);
}

// ---- sizes ----

float EditControl::lineHeight() const { return textFormat != nullptr ? textFormat->getLineHeight() : 0.0f; }
int32_t EditControl::usableWidth() const { return std::max(visibleRect.w - 8, 0); }
int32_t EditControl::usableHeight() const { return std::max(visibleRect.h - 8, 0); }
int32_t EditControl::horizontalMargin() const {
    return std::min(visibleRect.w / 4, 2 * static_cast<int32_t>(std::ceil(lineHeight())));
}
int32_t EditControl::verticalMargin() const {
    return std::min(visibleRect.h / 4, static_cast<int32_t>(std::ceil(lineHeight())));
}

// ---- mouse ----

void EditControl::procMouseMove(int32_t, int32_t) {
    if (!focused) return;
    if (Router* router = Router::get()) router->currentCursor = &Router::MouseCursor::IBeam;
}

void EditControl::procLButtonDown(int32_t x, int32_t y) {
    caretVisible = true;
    restartCaretTimer();
    takeFocus();
    Router* router = Router::get();
    if (router != nullptr) router->beginDrag(0, 0, &Router::MouseCursor::IBeam);
    // Local points are relative to the visible part; the text to the full rectangle.
    const int32_t lx = x + visibleRect.x - fullRect.x, ly = y + visibleRect.y - fullRect.y;
    caret = setCaret(getTextPosition(float(lx + scrollX - 4), float(ly + scrollY - 4)));
    if (router != nullptr && router->doubleClick) {
        selectWord(caret);
    } else if (held(W::kVkShift)) {
        spanSelection();
    } else {
        anchor = caret;
        clearSelection();
    }
    updateImePosition();
    invalidate();
}

void EditControl::procMouseDrag(int32_t x, int32_t y) {
    const int32_t lx = x + visibleRect.x - fullRect.x, ly = y + visibleRect.y - fullRect.y;
    autoScroll(lx, ly);
    const int32_t position = getTextPosition(float(std::clamp(lx, 0, fullRect.w) + scrollX - 4),
                                             float(std::clamp(ly, 0, fullRect.h) + scrollY - 4));
    caret = setCaret(position);
    spanSelection();
    invalidate();
}

void EditControl::procRButtonDown(int32_t, int32_t) {
    Window::ControlInput::claimPress(*this);
    Window::PopupMenu menu;
    fillContextMenu(menu);
    menu.show();
}

void EditControl::fillContextMenu(Window::PopupMenu& menu) {
    const auto entry = [this, &menu](const wchar_t* label, char16_t c) {
        menu.insertItem(label, [this, c] { procChar(c); });
    };
    if (hasSelection()) {
        entry(L"切り取り", 24);
        entry(L"コピー", 3);
    }
    entry(L"貼り付け", 22);
    if (hasSelection())
        entry(L"削除", 127);
    else
        entry(L"すべてを選択", 1);
}

void EditControl::procMouseWheel(int32_t x, int32_t y, int32_t delta) {
    if (scrollBar == nullptr) return;
    scrollBar->procMouseWheel(x + visibleRect.x - scrollBar->visibleRect.x, y + visibleRect.y - scrollBar->visibleRect.y,
                              delta);
}

// ---- keys ----

bool EditControl::procKeyDown(int32_t key) {
    if (keyFilter && keyFilter(key)) {
        W::Message waiting;
        Router* router = Router::get();
        while (W::peekMessage(waiting, router != nullptr ? router->window : nullptr, W::kWmChar, W::kWmChar,
                              W::kPmRemove)) {
        }
        return true;
    }
    const bool ctrl = held(W::kVkControl), shift = held(W::kVkShift);
    switch (key) {
    case W::kVkPrior:
    case W::kVkNext: {
        const float l = std::max(lineHeight(), 1.0f);
        const int32_t lines = std::max(1, static_cast<int32_t>(float(usableHeight()) / l));
        if (key == W::kVkPrior)
            editCursorUp(lines);
        else
            editCursorDown(lines);
        break;
    }
    case W::kVkEnd: caret = ctrl ? length : lineEnd(caret); break;
    case W::kVkHome: caret = ctrl ? 0 : lineStart(caret); break;
    case W::kVkLeft: caret = std::max(caret - 1, 0); break;
    case W::kVkRight: caret = std::min(caret + 1, length); break;
    case W::kVkUp: editCursorUp(1); break;
    case W::kVkDown: editCursorDown(1); break;
    case W::kVkInsert:
        if (ctrl) return procChar(3);
        if (shift) return procChar(22);
        return false;
    case W::kVkDelete:
        if (shift && !ctrl) return procChar(hasSelection() ? 24 : 8);
        return procChar(127);
    default: return false;
    }
    if (shift) {
        spanSelection();
    } else {
        anchor = caret;
        clearSelection();
    }
    caretVisible = true;
    restartCaretTimer();
    updateScroll();
    updateImePosition();
    invalidate();
    hidePointer();
    return true;
}

bool EditControl::procChar(char16_t unit) {
    // A character beyond the first plane comes in two units.
    char32_t c = unit;
    if (unit >= 0xD800 && unit <= 0xDBFF) {
        pendingHigh_ = unit;
        return true;
    }
    if (unit >= 0xDC00 && unit <= 0xDFFF) {
        if (pendingHigh_ == 0) return true;
        c = 0x10000 + ((char32_t(pendingHigh_) - 0xD800) << 10) + (char32_t(unit) - 0xDC00);
    }
    pendingHigh_ = 0;
    if (c < 32) {
        if (hasSelection() && (c == 3 || c == 24)) System::Clipboard::setText(selectedText().c_str());
        switch (c) {
        case 1:
            selectionStart = 0;
            selectionEnd = length;
            if (selectionStart == selectionEnd) clearSelection();
            updateScroll();
            invalidate();
            hidePointer();
            return true;
        case 8:
            if (hasSelection())
                deleteSelection();
            else
                deleteBackward();
            afterEdit();
            return true;
        case 9:
            if (members && !members->empty()) {
                if (members->size() == 1) return false;
                EditFocusGroup* next = nextFocusable(held(W::kVkShift));
                if (next == nullptr) return false;
                setFocus(false);
                next->setFocus(true);
                return true;
            }
            break;  // inserted
        case 13: break;
        case 22: {
            std::wstring pasted;
            if (!System::Clipboard::getText(pasted)) return true;
            deleteSelection();
            insertText(pasted);
            afterEdit();
            return true;
        }
        case 24:
            deleteSelection();
            afterEdit();
            return true;
        default: return true;
        }
    }
    if (c == 127) {
        if (hasSelection())
            deleteSelection();
        else if (held(W::kVkControl))
            eraseText(caret, lineEnd(caret));
        else
            deleteForward();
        afterEdit();
        return true;
    }
    deleteSelection();
    const std::wstring one(1, wchar_t(c == 13 ? 10 : c));
    if (matchesFilter(one)) {
        caret = std::clamp(caret, 0, length);
        text.insert(size_t(caret), one);
        caret += 1;
    }
    updateTextLayout();
    afterEdit();
    return true;
}

void EditControl::procImeString(const std::u16string& value) {
    deleteSelection();
    insertText(System::utf16ToWide(value));
    afterEdit();
}

// ---- caret movement and selection ----

void EditControl::editCursorUp(int32_t lines) {
    static constexpr const char* kScope = "Control::EditControl::editCursorUp";
    float left = 0, top = 0, width = 0, height = 0;
    if (!caretMetrics(left, top, width, height, "layout->HitTestTextPosition", kScope)) return;
    const float y1 = top - 0.5f * height;
    bool trailing = false, inside = false;
    D2::HitTestMetrics hit;
    if (const auto hr = D2::hitTestPoint(*layout.get(), left, y1 - float(lines - 1) * height, trailing, inside, hit);
        Platform::failed(hr))
        throw System::hresultException("layout->HitTestPoint", kScope, hr);
    if (hit.top > y1) return;
    int32_t p = static_cast<int32_t>(hit.textPosition) + (trailing ? static_cast<int32_t>(std::max(hit.length, 1u)) : 0);
    caret = setCaret(p);
}

void EditControl::editCursorDown(int32_t lines) {
    static constexpr const char* kScope = "Control::EditControl::editCursorDown";
    float left = 0, top = 0, width = 0, height = 0;
    if (!caretMetrics(left, top, width, height, "layout->HitTestTextPosition", kScope)) return;
    const float y1 = top + 1.5f * height;
    bool trailing = false, inside = false;
    D2::HitTestMetrics hit;
    if (const auto hr = D2::hitTestPoint(*layout.get(), left, y1 + float(lines - 1) * height, trailing, inside, hit);
        Platform::failed(hr))
        throw System::hresultException("layout->HitTestPoint", kScope, hr);
    if (y1 > hit.top + hit.height) return;
    int32_t p = static_cast<int32_t>(hit.textPosition) + (trailing ? static_cast<int32_t>(std::max(hit.length, 1u)) : 0);
    caret = setCaret(p);
}

void EditControl::selectWord(int32_t p) {
    const auto size = static_cast<int32_t>(text.size());
    int32_t start = 0;
    for (int32_t i = std::min(p - 1, size - 1); i >= 0; --i)
        if (isDelimiter(text[size_t(i)])) {
            start = i + 1;
            break;
        }
    int32_t end = length;
    for (int32_t i = std::max(p, 0); i < size; ++i)
        if (isDelimiter(text[size_t(i)])) {
            end = i;
            break;
        }
    if (p >= length) end = length;
    start = std::min(start, end);
    if (start == selectionStart && end == selectionEnd && hasSelection()) {
        start = lineStart(p);
        end = lineEnd(p);
    }
    selectionStart = std::min(start, end);
    selectionEnd = std::max(start, end);
    if (selectionStart == selectionEnd) clearSelection();
}

void EditControl::updateScroll() {
    float left = 0, top = 0, width = 0, height = 0;
    if (caretMetrics(left, top, width, height, "layout->HitTestTextPosition", "Control::EditControl::updateScroll")) {
        const int32_t uw = usableWidth(), uh = usableHeight();
        const int32_t mx = horizontalMargin(), my = verticalMargin();
        scrollX = std::max(scrollX, static_cast<int32_t>(left + width) - uw + mx);
        scrollX = std::min(scrollX, static_cast<int32_t>(left) - mx);
        scrollY = std::max(scrollY, static_cast<int32_t>(top + height) - uh + my);
        scrollY = std::min(scrollY, static_cast<int32_t>(top) - my);
        scrollX = std::max(scrollX, 0);
        scrollY = std::max(scrollY, 0);
        if (centerX && uw > textWidth + mx / 2) scrollX = (textWidth - uw) / 2;
        if (centerY && uh > textHeight + my / 2) scrollY = (textHeight - uh) / 2;
        scrollX = std::min(scrollX, std::max(0, textWidth + mx / 2 - uw));
        scrollY = std::min(scrollY, std::max(0, textHeight + my / 2 - uh));
    }
    if (onScroll) onScroll(*this);
    if (scrollBar != nullptr && scrollBar->editor == this) scrollBar->update();
}

void EditControl::autoScroll(int32_t x, int32_t y) {
    const int32_t uw = usableWidth(), uh = usableHeight();
    const int32_t mx = horizontalMargin(), my = verticalMargin();
    int32_t sx = scrollX, sy = scrollY;
    if (x < -3) sx += x / 4;
    if (x >= fullRect.w + 4) sx += (x - fullRect.w) / 4;
    if (y < -3) sy += y / 4;
    if (y >= fullRect.h + 4) sy += (y - fullRect.h) / 4;
    sx = std::clamp(sx, 0, std::max(0, textWidth + mx / 2 - uw));
    sy = std::clamp(sy, 0, std::max(0, textHeight + my / 2 - uh));
    if (centerX && uw > textWidth + mx / 2) sx = (textWidth - uw) / 2;
    if (centerY && uh > textHeight + my / 2) sy = (textHeight - uh) / 2;
    if (sx == scrollX && sy == scrollY) return;
    scrollX = sx;
    scrollY = sy;
    if (onScroll) onScroll(*this);
    if (scrollBar != nullptr && scrollBar->editor == this) scrollBar->update();
}

// ---- input method ----

bool EditControl::procFocusIme(Window::ImeState& state) {
    static constexpr const char* kScope = "Control::EditControl::procFocusIme";
    float left = 0, top = 0, width = 0, height = 0;
    caretMetrics(left, top, width, height, "layout->HitTestTextPosition", kScope);
    Router* router = Router::get();
    const W::WindowHandle window = router != nullptr ? router->window : nullptr;
    if (!state.associated) {
        state.associated = true;
        if (window != nullptr) W::associateInputContext(window, true);
    }
    if (window == nullptr) return true;
    const W::Point at{fullRect.x + 4 + nearest(left) - scrollX, fullRect.y + 5 + nearest(top) - scrollY};
    W::setCompositionWindow(window, at,
                            W::Rect{fullRect.x, fullRect.y, fullRect.x + fullRect.w, fullRect.y + fullRect.h});
    std::wstring family = textFormat != nullptr ? textFormat->getName() : std::wstring();
    if (family.empty())
        if (const Setting::SettingService* settings = Setting::SettingService::get())
            family = settings->font.getValue("DefaultFamily").toString(L"Yu Gothic UI");
    family = family.substr(0, 31);
    const int32_t fontHeight =
        textFormat != nullptr ? -static_cast<int32_t>(std::ceil(textFormat->get()->fontSize())) : 0;
    if (family != state.fontFace || fontHeight != state.fontHeight) {
        state.fontFace = family;
        state.fontHeight = fontHeight;
        W::setCompositionFont(window, System::wideToUtf8(family), fontHeight);
    }
    return true;
}

void EditControl::updateImePosition() {
    Router* router = Router::get();
    if (router == nullptr || router->focusTarget != this || !router->imeState.associated || router->window == nullptr)
        return;
    float left = 0, top = 0, width = 0, height = 0;
    if (!caretMetrics(left, top, width, height, "layout->HitTestTextPosition",
                      "Control::EditControl::updateImePosition"))
        return;
    const W::Point at{fullRect.x + 4 + nearest(left) - scrollX, fullRect.y + 5 + nearest(top) - scrollY};
    W::setCompositionWindow(router->window, at,
                            W::Rect{fullRect.x, fullRect.y, fullRect.x + fullRect.w, fullRect.y + fullRect.h});
}

// ---- drawing ----

void EditControl::procPaint() {
    if (!canPaint()) return;
    const ControlScope scope(*this);
    fillRectangle(0, 0, fullRect.w, fullRect.h, brush(Brushes::Background));
    drawRectangle(0, 0, fullRect.w, fullRect.h, brush(focused ? Brushes::BorderFocus : Brushes::Border), 2, nullptr);
    {
        // The text area, clamped into the visible part.
        const int32_t l = std::max(fullRect.x + 4, visibleRect.x), t = std::max(fullRect.y + 4, visibleRect.y);
        const int32_t r = std::min(fullRect.x + fullRect.w - 4, visibleRect.x + visibleRect.w);
        const int32_t b = std::min(fullRect.y + fullRect.h - 4, visibleRect.y + visibleRect.h);
        if (r > l && b > t && layout.get() != nullptr) {
            const DrawScope area(*this, l, t, r, b, true);
            originX = fullRect.x + 4 - scrollX;
            originY = fullRect.y + 4 - scrollY;
            if (hasSelection() && hitTestCapacity > 0) {
                std::vector<D2::HitTestMetrics> boxes;
                if (const auto hr = D2::hitTestTextRange(*layout.get(), uint32_t(selectionStart),
                                                         uint32_t(selectionEnd - selectionStart), boxes);
                    Platform::failed(hr))
                    throw System::hresultException("layout->HitTestTextRange", "Control::EditControl::drawSelectRange",
                                                   hr);
                for (const auto& box : boxes)
                    fillRectangleF(box.left, box.top, box.left + box.width, box.top + box.height,
                                   brush(Brushes::TextSelect));
            }
            target->drawTextLayout({float(originX), float(originY)}, *layout.get(), brush(Brushes::Text));
        }
    }
    if (focused && caretVisible) {
        float left = 0, top = 0, width = 0, height = 0;
        if (caretMetrics(left, top, width, height, "layout->HitTestTextPosition", "Control::EditControl::drawCursor")) {
            originX = fullRect.x;
            originY = fullRect.y;
            int32_t x0 = static_cast<int32_t>(left) - scrollX + 4, y0 = nearest(top) - scrollY + 4;
            int32_t x1 = x0 + 1, y1 = y0 + nearest(height);
            // Clamped into the visible part.
            const int32_t vl = visibleRect.x - fullRect.x, vt = visibleRect.y - fullRect.y;
            x0 = std::clamp(x0, vl, vl + visibleRect.w), x1 = std::clamp(x1, vl, vl + visibleRect.w);
            y0 = std::clamp(y0, vt, vt + visibleRect.h), y1 = std::clamp(y1, vt, vt + visibleRect.h);
            if (x1 > x0 && y1 > y0) fillRectangle(x0, y0, x1, y1, brush(Brushes::Text));
        }
    }
}

}  // namespace Control
