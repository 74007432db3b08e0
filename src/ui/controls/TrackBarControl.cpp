#include "ui/controls/TrackBarControl.h"

#include <algorithm>
#include <cmath>

#include "ui/controls/ControlInput.h"

namespace Control {

using Brushes = Window::StyleBrushList;

TrackBarControl::BarMouse::BarMouse(TrackBarControl& bar) : WindowMouse(&bar.knobRect, bar.priority + 1), bar_(bar) {}

void TrackBarControl::BarMouse::procLButtonDown(int32_t x, int32_t y) {
    Window::ControlInput::armDrag(*this, x, y);
    bar_.dragStartPosition = bar_.position;
    bar_.invalidate();
}

void TrackBarControl::BarMouse::procMouseDrag(int32_t dx, int32_t) {
    if (bar_.barLength <= 0) return;
    const double moved = static_cast<double>(bar_.maximum - bar_.minimum) * dx / bar_.barLength;
    bar_.changePosition(static_cast<int32_t>(std::trunc(moved)) + bar_.dragStartPosition);
}

void TrackBarControl::BarMouse::procMouseEnter() { bar_.invalidate(); }

void TrackBarControl::BarMouse::procMouseLeave() { bar_.invalidate(); }

void TrackBarControl::BarMouse::procCaptureLost() { bar_.invalidate(); }

TrackBarControl::TrackBarControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h)
    : WindowControlRenderTarget(container, x, y, w, h), knob(*this) {
    layoutBar();
}

TrackBarControl::TrackBarControl(Window::WindowControl& parent, int32_t x, int32_t y, int32_t w, int32_t h)
    : WindowControlRenderTarget(parent, x, y, w, h), knob(*this) {
    layoutBar();
}

float TrackBarControl::fractionOf(int32_t value) const {
    return static_cast<float>(value - minimum) / static_cast<float>(maximum - minimum + 1);
}

void TrackBarControl::setLength(int32_t n) {
    minimum = std::min(n, 0);
    maximum = std::max(n, 0);
    position = std::clamp(position, minimum, maximum);
    positionFraction = fractionOf(position);
    layoutBar();
    setRange(rangeStart, rangeEnd);
    setSelectRange(selectStart, selectEnd);
}

void TrackBarControl::setPosition(int32_t p) {
    const int32_t clamped = std::clamp(p, minimum, maximum);
    if (clamped != position) invalidate();
    position = clamped;
    positionFraction = fractionOf(position);
    layoutBar();
}

void TrackBarControl::setRange(int32_t a, int32_t b) {
    rangeStart = std::clamp(a, minimum, maximum);
    rangeEnd = std::clamp(b, rangeStart, maximum);
    rangeStartFraction = fractionOf(rangeStart);
    rangeEndFraction = fractionOf(rangeEnd);
    layoutBar();
    invalidate();
}

void TrackBarControl::setSelectRange(int32_t a, int32_t b) {
    selectStart = std::clamp(a, minimum, maximum);
    selectEnd = std::clamp(b, selectStart, maximum);
    selectStartFraction = fractionOf(selectStart);
    selectEndFraction = fractionOf(selectEnd);
    layoutBar();
    invalidate();
}

void TrackBarControl::changePosition(int32_t p) {
    const int32_t clamped = std::clamp(p, minimum, maximum);
    if (clamped == position) return;
    if (changeAction) changeAction(*this, clamped);
}

void TrackBarControl::layoutBar() {
    const float h = static_cast<float>(visibleRect.h);
    margin = h * 0.125f;
    knobSize = std::max((h - 2 * margin) * 0.2f, 3.0f);
    barLength = visibleRect.w - static_cast<int32_t>(std::lround(2 * knobSize));
    const float length = static_cast<float>(barLength);
    positionPixel = length * positionFraction;
    rangeStartPixel = length * rangeStartFraction + knobSize;
    rangeEndPixel = length * rangeEndFraction + knobSize;
    selectStartPixel = length * selectStartFraction + knobSize;
    selectEndPixel = length * selectEndFraction + knobSize;
    knobRect = {visibleRect.x + static_cast<int32_t>(std::lround(positionPixel)), visibleRect.y,
                static_cast<int32_t>(std::lround(2 * knobSize)), visibleRect.h};
    knob.visible = visible;
}

void TrackBarControl::procMove() { layoutBar(); }

void TrackBarControl::procLButtonDown(int32_t x, int32_t y) {
    if (barLength > 0) {
        const double at = static_cast<double>(maximum - minimum) * (x - knobSize) / barLength;
        changePosition(static_cast<int32_t>(std::trunc(at)));
    }
    // The press goes on as a drag of the knob, from where the owner put it.
    if (Window::ControlInput::passCapture(*this, knob))
        knob.procLButtonDown(x + visibleRect.x - knobRect.x, y + visibleRect.y - knobRect.y);
}

void TrackBarControl::procPaint() {
    if (!canPaint()) return;
    const ControlScope scope(*this);
    originX = visibleRect.x, originY = visibleRect.y;
    const float w = static_cast<float>(visibleRect.w), h = static_cast<float>(visibleRect.h);
    fillRectangle(0, 0, visibleRect.w, visibleRect.h, brush(Brushes::Background));
    if (rangeEnd != rangeStart) {
        fillRectangleF(rangeStartPixel, 1, rangeEndPixel, h - 1, brush(Brushes::TrackBarRange));
        Platform::draw2d::Brush& mark = brush(Brushes::ButtonBodyDisable);
        for (const float x : {rangeStartPixel, rangeEndPixel}) {
            drawLineF(x, 0, x, h, mark, 1.0f, nullptr);
            if (margin > 1) {
                const float top[6] = {x - margin, 0, x + margin, 0, x, margin};
                const float bottom[6] = {x - margin, h, x + margin, h, x, h - margin};
                fillPath(top, mark);
                fillPath(bottom, mark);
            }
        }
    }
    fillRectangleF(knobSize, (h - knobSize) * 0.5f, w - knobSize, (h + knobSize) * 0.5f,
                   brush(Brushes::ButtonBodyDisable));
    if (selectEnd != selectStart)
        fillRectangleF(selectStartPixel, (h - knobSize) * 0.5f, selectEndPixel, (h + knobSize) * 0.5f,
                       brush(Brushes::FrameRangeSelect));
    fillRectangleF(positionPixel, margin - 1, positionPixel + 2 * knobSize, h - margin + 1,
                   brush(Window::ControlInput::bodyColour(knob)));
}

}  // namespace Control
