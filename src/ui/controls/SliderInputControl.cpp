#include "ui/controls/SliderInputControl.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

#include "core/TextConvert.h"
#include "media/gpu/ResourceService.h"
#include "platform/draw2d/RenderTarget.h"
#include "platform/window/InputMethod.h"
#include "platform/window/KeyMap.h"
#include "ui/controls/ControlInput.h"
#include "ui/controls/ControlText.h"
#include "ui/controls/IconGlyph.h"
#include "ui/framework/WindowMouseService.h"

namespace Control {

namespace W = Platform::window;
using Brushes = Window::StyleBrushList;
using Router = Window::WindowMouseService;

namespace {

// The nearest integer, halves away from zero, within the 32-bit range.
int32_t nearestSteps(double v) {
    if (std::isnan(v)) return 0;
    v = std::clamp(v, double(INT32_MIN), double(INT32_MAX));
    return static_cast<int32_t>(std::llround(v));
}

// The sequence 100, 50, 25, 10, 5, 2, 1: halve an even step, take two fifths of an odd one.
int32_t nextStep(int32_t n) { return n % 2 == 0 ? n / 2 : 2 * n / 5; }

bool shiftHeld() { return (W::getKeyState(W::kVkShift) & 0x8000) != 0; }

// A decimal number at the start of the text (spaces and a plus sign before it
// allowed, anything after it ignored); false when none.
bool parseNumber(const std::wstring& typed, double& out) {
    std::string narrow = System::wideToUtf8(typed);
    size_t at = narrow.find_first_not_of(" \t\n\r\f\v");
    if (at == std::string::npos) return false;
    if (narrow[at] == '+' && at + 1 < narrow.size() && narrow[at + 1] != '-') ++at;
    const char* begin = narrow.data() + at;
    const char* end = narrow.data() + narrow.size();
    const auto [ptr, ec] = std::from_chars(begin, end, out);
    if (ptr == begin) return false;
    if (ec == std::errc::result_out_of_range) out = (*begin == '-') ? -HUGE_VAL : HUGE_VAL;
    return true;
}

}  // namespace

// ---- the face ----

SliderInputControl::SliderButton::SliderButton(SliderInputControl& owner, Window::ControlContainer& inner)
    : ButtonControl(inner, 0, 0, 0, 0), slider(&owner) {}

void SliderInputControl::SliderButton::procMouseMove(int32_t, int32_t) {
    if (Router* router = Router::get()) router->currentCursor = &Router::MouseCursor::HorizontalArrows;
}

void SliderInputControl::SliderButton::procLButtonDown(int32_t x, int32_t y) {
    slider->beginChange();
    if (Router* router = Router::get())
        router->beginDrag(x, y,
                          slider->hideCursorWhileDragging ? &Router::MouseCursor::Hidden
                                                          : &Router::MouseCursor::Crosshair);
    dragging = true;
    dragStartValue = slider->value;
    pressX = x;
    shiftAtPress = shiftHeld();
    invalidate();
}

void SliderInputControl::SliderButton::procMouseDrag(int32_t dx, int32_t) {
    SliderInputControl& s = *slider;
    const bool shift = shiftHeld();
    if (shift != shiftAtPress) {
        // Start again from where the pointer is, at the other rate.
        if (Router* router = Router::get()) router->dragOriginX += dx;
        shiftAtPress = shift;
        dragStartValue = s.value;
        pressX += dx;
        dx = 0;
    }
    int64_t v = 0;
    if (shift) {
        v = int64_t(dragStartValue) + int64_t(dx) * s.fineStep;
    } else {
        const int64_t r = std::llround(double(dx) * double(s.dragSpeed));
        v = int64_t(dragStartValue) + r - (r % std::max(s.coarseStep, 1));
    }
    v = std::clamp<int64_t>(v, s.minimum, s.maximum);
    if (v != s.value) s.applyValue(static_cast<int32_t>(v), true);
}

bool SliderInputControl::SliderButton::procDragKey(int32_t key) {
    int32_t d = 0;
    if (key == W::kVkLeft) d = -1;
    if (key == W::kVkRight) d = 1;
    if (d == 0) return false;
    SliderInputControl& s = *slider;
    const int32_t v = std::clamp(s.value + d, s.minimum, s.maximum);
    s.applyValue(v, true);
    dragStartValue += d;
    return true;
}

void SliderInputControl::SliderButton::procLButtonUp(int32_t, int32_t) {
    Router* router = Router::get();
    if (router != nullptr && !router->dragStarted) slider->setEditing(true);
}

void SliderInputControl::SliderButton::procCaptureLost() {
    slider->endChange();
    invalidate();
}

void SliderInputControl::SliderButton::procPaint() {
    if (!canPaint()) return;
    const ControlScope scope(*this);
    const SliderInputControl& s = *slider;
    const int32_t w = fullRect.w, h = fullRect.h;
    if (!enabled) {
        fillRectangle(0, 0, w, h, brush(Brushes::Grouping));
        return;
    }
    if (dragging || hovered) {
        fillRectangle(0, 0, w, h, brush(dragging ? Brushes::ButtonBodySelect : Brushes::ButtonBodyHover));
        if (s.showSliderCursor && s.minimum < s.maximum && w > 8) {
            const int32_t x = static_cast<int32_t>(
                std::lround(double(s.value - s.minimum) * double(w - 4) / double(s.maximum - s.minimum)));
            fillRectangle(x, 0, x + 4, h, brush(Brushes::SliderCursor));
        }
    } else {
        fillRectangle(0, 0, w, h, brush(Brushes::ButtonBody));
        if (w > 8) {
            if (s.startMark) {
                fillRectangle(0, 0, 2, h, brush(Brushes::Border));
                fillRectangle(3, 0, 4, h, brush(Brushes::Border));
            }
            if (s.endMark) {
                fillRectangle(w - 4, 0, w - 3, h, brush(Brushes::Border));
                fillRectangle(w - 2, 0, w, h, brush(Brushes::Border));
            }
        }
    }
    const std::wstring& shown = s.value == 0 && !s.zeroText.empty() ? s.zeroText : s.valueText;
    if (shown.empty() || s.textFormat == nullptr) return;
    Resource::TextLayout laid;
    laid.create(*s.textFormat, shown.c_str(), static_cast<int32_t>(shown.size()));
    const auto size = laid.getSize();
    const int32_t tw = static_cast<int32_t>(std::ceil(size.width)), th = static_cast<int32_t>(std::ceil(size.height));
    target->drawTextLayout({float(originX + (w - tw) / 2), float(originY + (h - th) / 2)}, *laid.get(),
                           brush(Brushes::Text));
}

// ---- the editor ----

SliderInputControl::SliderEdit::SliderEdit(SliderInputControl& owner, Window::ControlContainer& inner)
    : EditControl(inner), slider(&owner) {}

bool SliderInputControl::SliderEdit::procKeyDown(int32_t key) {
    if (key == W::kVkReturn || key == W::kVkEscape) {
        Router* router = Router::get();
        if (router != nullptr && router->focusTarget == this) router->setFocus(nullptr);
        return true;
    }
    return EditControl::procKeyDown(key);
}

void SliderInputControl::SliderEdit::procFocusLost(Window::WindowMouse* cause) {
    EditControl::procFocusLost(cause);
    slider->setEditing(false);
    if (Router* router = Router::get()) router->currentCursor = router->defaultCursor;
}

void SliderInputControl::SliderEdit::procMouseWheel(int32_t, int32_t, int32_t delta) {
    slider->parseText(text, delta > 0 ? -1 : 1);
    setText(slider->valueText);
    select(length, length, length);
    invalidate();
}

void SliderInputControl::SliderEdit::setFocus(bool take) {
    if (take)
        slider->setEditing(true);
    else
        EditControl::setFocus(false);
}

bool SliderInputControl::SliderEdit::canFocus() {
    return slider->sliderButton.visible && slider->sliderButton.enabled;
}

// ---- the slider ----

SliderInputControl::SliderInputControl(Window::WindowControl& parent, int32_t x, int32_t y, int32_t h)
    : WindowControlRenderTarget(parent, x, y, 0, h),
      container(priority + 1, &visibleRect, &fullRect),
      minusButton(container),
      plusButton(container),
      sliderButton(*this, container),
      sliderEdit(*this, container) {
    setupParts();
}

SliderInputControl::SliderInputControl(Window::ControlContainer& owner, int32_t x, int32_t y, int32_t w, int32_t h)
    : WindowControlRenderTarget(owner, x, y, w, h),
      container(priority + 1, &visibleRect, &fullRect),
      minusButton(container),
      plusButton(container),
      sliderButton(*this, container),
      sliderEdit(*this, container) {
    setupParts();
}

void SliderInputControl::setupParts() {
    minusButton.glyph = GlyphSliderMinus;
    plusButton.glyph = GlyphSliderPlus;
    if (Resource::ResourceService* resources = Resource::ResourceService::get()) {
        textFormat = resources->textFormats[Resource::ResourceService::kEditControl].get();
        editTextWidth = static_cast<int32_t>(textFormat->getTextWidth(L"-999999.000"));
    }
    sliderEdit.visible = false;
    sliderEdit.centerX = true;
    sliderEdit.centerY = true;
    sliderEdit.acceptWheel = true;
    sliderEdit.setInputFilter(L"[0-9+-.]");
    sliderEdit.onChange = [this](EditControl& edit) { parseText(edit.text, 0); };
    minusButton.clickAction = [this](ButtonControl&) { stepValue(-1); };
    plusButton.clickAction = [this](ButtonControl&) { stepValue(1); };
    minusButton.pressAction = plusButton.pressAction = [this](ButtonControl&) { beginChange(); };
    minusButton.releaseAction = plusButton.releaseAction = [this](ButtonControl&) { endChange(); };
    procMove();
}

void SliderInputControl::beginChange() {
    if (changing) return;
    changing = true;
    if (beginAction) beginAction(*this);
}

void SliderInputControl::endChange() {
    if (!changing) return;
    changing = false;
    if (endAction) endAction(*this);
}

void SliderInputControl::updateValueText() {
    if (value == 0 && !zeroText.empty()) {
        valueText.clear();
        return;
    }
    std::wstring digits = std::to_wstring(std::llabs(int64_t(value)));
    if (decimals > 0) {
        if (digits.size() < size_t(decimals) + 1) digits.insert(0, size_t(decimals) + 1 - digits.size(), L'0');
        digits.insert(digits.size() - size_t(decimals), 1, L'.');
    }
    if (value < 0) digits.insert(0, 1, L'-');
    valueText = digits;
}

void SliderInputControl::applyValue(int32_t v, bool copyToEdit) {
    value = v;
    updateValueText();
    if (copyToEdit) sliderEdit.setText(valueText);
    sliderEdit.invalidate();
    sliderButton.invalidate();
    if (changeAction) changeAction(*this);
}

void SliderInputControl::setRange(double initial, double lowest, double highest, double step) {
    defaultValue = nearestSteps(initial / step);
    minimum = nearestSteps(lowest / step);
    maximum = nearestSteps(highest / step);
    scale = std::max(nearestSteps(1.0 / step), 1);
    decimals = static_cast<int32_t>(std::log10(double(scale)));
    setValue(initial);
    computeDragSpeed();
}

void SliderInputControl::setValue(double x) {
    int32_t v = nearestSteps(double(scale) * x);
    v = std::clamp(v, minimum, std::max(minimum, maximum));
    if (v == value) return;
    value = v;
    updateValueText();
    sliderEdit.setText(valueText);
}

void SliderInputControl::stepValue(int32_t d) {
    const int32_t v = static_cast<int32_t>(std::clamp<int64_t>(int64_t(value) + d, minimum, maximum));
    if (v != value) applyValue(v, true);
}

void SliderInputControl::parseText(const std::wstring& typed, int32_t base) {
    beginChange();
    double number = 0;
    int64_t v = 0;
    if (parseNumber(typed, number)) {
        v = int64_t(nearestSteps(number * double(scale))) + base;
    } else if (typed.empty()) {
        v = defaultValue;
    } else {
        return;
    }
    v = std::clamp<int64_t>(v, minimum, maximum);
    if (v != value) applyValue(static_cast<int32_t>(v), false);
}

void SliderInputControl::setEditing(bool on) {
    endChange();
    Router* router = Router::get();
    if (on) {
        sliderButton.visible = false;
        sliderEdit.visible = true;
        sliderEdit.setText(valueText);
        sliderEdit.select(0, sliderEdit.length, sliderEdit.length);
        sliderEdit.caretVisible = true;
        if (router != nullptr && router->focusTarget != &sliderEdit) router->setFocus(nullptr);
        sliderEdit.EditControl::setFocus(true);
        // Numbers are typed without the input method.
        if (router != nullptr && router->imeState.associated) {
            router->imeState.associated = false;
            if (router->window != nullptr) W::associateInputContext(router->window, false);
        }
    } else {
        sliderButton.visible = true;
        sliderEdit.visible = false;
        if (router != nullptr && router->focusTarget == &sliderEdit) router->setFocus(nullptr);
    }
    sliderEdit.invalidate();
    sliderButton.invalidate();
}

void SliderInputControl::computeDragSpeed() {
    dragSpeed = std::min(10.0f * float(scale), float(maximum - minimum) / float(std::max(visibleRect.w, 1)));
    coarseStep = 1;
    for (int32_t n = scale; n >= 1; n = nextStep(n))
        if (float(n) <= dragSpeed) {
            coarseStep = n;
            break;
        }
    fineStep = 1;
    for (int32_t n = scale; n >= 1; n = nextStep(n))
        if (float(n) * 10.0f <= dragSpeed) {
            fineStep = n;
            break;
        }
}

void SliderInputControl::procMove() {
    const int32_t w = fullRect.w, h = fullRect.h, a = h / 2;
    const bool buttons = !hideButtons && (alwaysShowButtons || w >= editTextWidth + 2 * a);
    minusButton.visible = plusButton.visible = buttons;
    const auto place = [](Window::WindowControl& c, int32_t x, int32_t y, int32_t cw, int32_t ch) {
        c.layoutX = x, c.layoutY = y, c.layoutW = cw, c.layoutH = ch;
    };
    if (buttons) {
        place(minusButton, 0, 0, a, 0);
        place(plusButton, -a, 0, 0, 0);
        place(sliderButton, a, 0, -a, 0);
        place(sliderEdit, a, 0, -a, 0);
    } else {
        place(sliderButton, 0, 0, 0, 0);
        place(sliderEdit, 0, 0, 0, 0);
    }
    container.updateChildLayout();
    computeDragSpeed();
}

void SliderInputControl::procPaint() {
    for (size_t i = 0; i < container.children.size(); ++i) container.children[i]->procPaint();
}

}  // namespace Control
