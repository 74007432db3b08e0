#include "ui/controls/ZoomGaugeControl.h"

#include <algorithm>

#include "ui/controls/ControlInput.h"

namespace Control {

using Brushes = Window::StyleBrushList;

namespace {
constexpr int32_t kLevels = static_cast<int32_t>(Edit::FrameZoom::zoomLevels.size());
}

ZoomGaugeControl::ZoomGaugeControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h)
    : WindowControlRenderTarget(container, x, y, w, h) {
    setZoom(zoom);
    ZoomGaugeControl::procMove();
}

ZoomGaugeControl::ZoomGaugeControl(Window::WindowControl& parent, int32_t x, int32_t y, int32_t w, int32_t h)
    : WindowControlRenderTarget(parent, x, y, w, h) {
    setZoom(zoom);
    ZoomGaugeControl::procMove();
}

void ZoomGaugeControl::procMove() {
    barCount = kLevels - 1;
    barStep = fullRect.w / barCount >= 2 ? fullRect.w / barCount : 1;
    barOffset = (fullRect.w - barCount * barStep) / 2;
}

void ZoomGaugeControl::setZoomFromX(int32_t x) {
    const int32_t i = std::clamp((x - barOffset) / barStep + 1, 0, kLevels - 1);
    requestZoom(Edit::FrameZoom(Edit::FrameZoom::zoomLevels[static_cast<size_t>(i)]));
}

void ZoomGaugeControl::requestZoom(Edit::FrameZoom requested) {
    if (requested.value == zoom.value) return;
    if (changeAction) changeAction(*this, requested);
}

void ZoomGaugeControl::setZoom(Edit::FrameZoom shown) {
    const int32_t lit = Edit::FrameZoom::levelIndex(shown.value);
    if (shown.value == zoom.value && lit == litCount) return;
    zoom = shown;
    litCount = lit;
    invalidate();
}

void ZoomGaugeControl::procLButtonDown(int32_t x, int32_t) {
    Window::ControlInput::claimPress(*this);
    invalidate();
    setZoomFromX(x);
}

void ZoomGaugeControl::procMouseMove(int32_t x, int32_t) {
    if (dragging) setZoomFromX(x);
}

void ZoomGaugeControl::procMouseWheel(int32_t, int32_t, int32_t delta) {
    requestZoom(zoom.getStepZoom(delta > 0 ? 1 : -1));
}

void ZoomGaugeControl::procMouseHover() { Window::ControlInput::showToolTip(L"レイヤー表示の拡大率を変更"); }

void ZoomGaugeControl::procMouseEnter() { invalidate(); }

void ZoomGaugeControl::procMouseLeave() { invalidate(); }

void ZoomGaugeControl::procCaptureLost() { invalidate(); }

void ZoomGaugeControl::procPaint() {
    if (!canPaint()) return;
    const ControlScope scope(*this);
    fillRectangle(visibleRect.x - fullRect.x, visibleRect.y - fullRect.y, visibleRect.x - fullRect.x + visibleRect.w,
                  visibleRect.y - fullRect.y + visibleRect.h, brush(Brushes::Background));
    const int32_t h = fullRect.h;
    for (int32_t i = 0; i < barCount; ++i) {
        const int32_t x0 = i * barStep + barOffset;
        const Brushes::Index colour = i < litCount ? (hovered ? Brushes::ZoomGaugeHover : Brushes::ZoomGauge)
                                                   : (hovered ? Brushes::ZoomGaugeOffHover : Brushes::ZoomGaugeOff);
        fillRectangle(x0, 2, x0 + barStep - 1, h - 2, brush(colour));
    }
}

}  // namespace Control
