#include "ui/controls/CheckButtonControl.h"

#include <algorithm>

#include "ui/controls/ControlInput.h"

namespace Control {

using Brushes = Window::StyleBrushList;

CheckButtonControl::CheckButtonControl(Window::WindowControl& parent, int32_t x, int32_t y, int32_t w, int32_t h)
    : ButtonControl(parent, x, y, w, h) {}

CheckButtonControl::CheckButtonControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h)
    : ButtonControl(container, x, y, w, h) {}

void CheckButtonControl::setCheckAction(CheckAction action) {
    checkAction = std::move(action);
    clickAction = [](ButtonControl& button) {
        auto& check = static_cast<CheckButtonControl&>(button);
        check.checkState = !check.checkState;
        check.invalidate();
        if (check.checkAction) check.checkAction(check);
    };
}

void CheckButtonControl::setCheckState(bool on) {
    if (checkState == on) return;
    checkState = on;
    invalidate();
}

void CheckButtonControl::procPaint() {
    if (!canPaint()) return;
    const ControlScope scope(*this);
    const bool raised = hovered || dragging || (framed && checkState);
    const Brushes::Index back = raised               ? Window::ControlInput::bodyColour(*this)
                                : checkBrushProvider ? checkBrushProvider()
                                                     : checkBrush;
    fillRectangle(0, 0, fullRect.w, fullRect.h, brush(back));
    drawContent();
    if (framed) drawOutline();
}

void CheckButtonControl::drawContent() {
    if (!checkState) return;
    const float s = static_cast<float>(std::min(fullRect.w, fullRect.h));
    Platform::draw2d::Brush& ink = brush(Brushes::Text);
    drawLineF(0.2f * s, 0.5f * s, 0.4f * s, 0.75f * s, ink, 0.11f * s, nullptr);
    drawLineF(0.4f * s, 0.75f * s, 0.8f * s, 0.25f * s, ink, 0.11f * s, nullptr);
}

}  // namespace Control
