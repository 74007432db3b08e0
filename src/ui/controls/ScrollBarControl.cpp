#include "ui/controls/ScrollBarControl.h"

#include <algorithm>
#include <cmath>

#include "ui/controls/ControlInput.h"

namespace Control {

ScrollBarControl::BarMouse::BarMouse(ScrollBarControl& bar) : WindowMouse(&bar.thumbRect, 300), bar_(bar) {}

void ScrollBarControl::BarMouse::procLButtonDown(int32_t x, int32_t y) {
    Window::ControlInput::armDrag(*this, x, y);
    bar_.dragStartFirst = bar_.first;
    bar_.invalidate();
}

void ScrollBarControl::BarMouse::procMouseDrag(int32_t dx, int32_t dy) {
    if (bar_.trackLength <= 0) return;
    const double moved = static_cast<double>(bar_.maximum - bar_.minimum) * (bar_.vertical ? dy : dx) /
                         static_cast<double>(bar_.trackLength);
    bar_.requestScroll(static_cast<int32_t>(std::trunc(moved)) + bar_.dragStartFirst);
}

void ScrollBarControl::BarMouse::procMouseEnter() { bar_.invalidate(); }

void ScrollBarControl::BarMouse::procMouseLeave() { bar_.invalidate(); }

void ScrollBarControl::BarMouse::procCaptureLost() { bar_.invalidate(); }

ScrollBarControl::ScrollBarControl(Window::ControlContainer& owner, int32_t x, int32_t y, int32_t width)
    : WindowControlRenderTarget(owner, x, y, width, 0),
      container(priority + 1, &visibleRect, &fullRect),
      firstArrow(container),
      secondArrow(container),
      thumb(*this) {
    setOrientation(width, 0);
}

ScrollBarControl::ScrollBarControl(Window::WindowControl& parent, int32_t x, int32_t y, int32_t w, int32_t h)
    : WindowControlRenderTarget(parent, x, y, w, h),
      container(priority + 1, &visibleRect, &fullRect),
      firstArrow(container),
      secondArrow(container),
      thumb(*this) {
    setOrientation(w, h);
}

ScrollBarControl::ScrollBarControl(Window::ControlContainer& owner, int32_t x, int32_t y, int32_t w, int32_t h)
    : WindowControlRenderTarget(owner, x, y, w, h),
      container(priority + 1, &visibleRect, &fullRect),
      firstArrow(container),
      secondArrow(container),
      thumb(*this) {
    setOrientation(w, h);
}

ScrollBarControl::~ScrollBarControl() = default;

void ScrollBarControl::setOrientation(int32_t w, int32_t h) {
    vertical = h <= 0 || (w > 0 && h > w);
    acceptWheel = true;
    firstArrow.setGlyph(vertical ? GlyphTriangleUp : GlyphTriangleLeft);
    secondArrow.setGlyph(vertical ? GlyphTriangleDown : GlyphTriangleRight);
    firstArrow.clickAction = [this](ButtonControl&) { requestScroll(first - wheelStep); };
    secondArrow.clickAction = [this](ButtonControl&) { requestScroll(first + wheelStep); };
    procMove();
}

void ScrollBarControl::setPosition(int32_t firstUnit, int32_t lastUnit) {
    first = std::clamp(firstUnit, minimum, std::max(minimum, maximum));
    last = std::clamp(lastUnit, first, std::max(first, maximum));
    const float range = static_cast<float>(maximum - minimum + 1);
    thumbStartFraction = maximum > minimum ? static_cast<float>(first - minimum) / range : 0.0f;
    thumbEndFraction = maximum > minimum ? static_cast<float>(last - minimum + 1) / range : 1.0f;
    layoutThumb();
}

void ScrollBarControl::setPositionRatio(float fraction) {
    const int32_t span = last - first;
    const int32_t range = maximum - minimum;
    if (range <= span) return;
    int32_t newFirst =
        minimum + static_cast<int32_t>(std::lround(static_cast<double>(range + 1) * fraction - span * 0.5));
    if (newFirst + span > maximum) newFirst = maximum - span;
    newFirst = std::max(newFirst, minimum);
    setPosition(newFirst, newFirst + span);
}

void ScrollBarControl::requestScroll(int32_t value) {
    const int32_t newFirst = std::clamp(value, minimum, std::max(minimum, maximum - (last - first)));
    if (newFirst == first) return;
    if (scrollAction) scrollAction(*this, newFirst);
}

void ScrollBarControl::procLButtonDown(int32_t x, int32_t y) {
    const int32_t p = (vertical ? y : x) - arrowLength;
    if (p < static_cast<int32_t>((thumbStart + thumbEnd) * 0.5f))
        requestScroll(2 * first - last);
    else
        requestScroll(last);
}

void ScrollBarControl::procMouseWheel(int32_t, int32_t, int32_t delta) {
    requestScroll(delta > 0 ? first - wheelStep : first + wheelStep);
}

void ScrollBarControl::layoutThumb() {
    thumbStart = static_cast<float>(trackLength) * thumbStartFraction - 3.0f;
    thumbEnd = static_cast<float>(trackLength) * thumbEndFraction + 3.0f;
    const int32_t start = arrowLength + static_cast<int32_t>(std::lround(thumbStart));
    const int32_t length = static_cast<int32_t>(std::lround(thumbEnd - thumbStart)) + 1;
    if (vertical)
        thumbRect = {visibleRect.x, visibleRect.y + start, visibleRect.w, length};
    else
        thumbRect = {visibleRect.x + start, visibleRect.y, length, visibleRect.h};
    thumb.visible = visible && trackLength > 0;
}

void ScrollBarControl::procMove() {
    const int32_t t = vertical ? visibleRect.w : visibleRect.h;
    const int32_t n = vertical ? visibleRect.h : visibleRect.w;
    arrowLength = t;
    if (t >= n / 2 - 3) arrowLength = n / 2 < 3 ? 0 : n / 2 - 3;
    trackLength = std::max(n - 2 * arrowLength, 0);
    if (vertical) {
        firstArrow.layoutX = 0, firstArrow.layoutY = 0, firstArrow.layoutW = 0, firstArrow.layoutH = arrowLength;
        secondArrow.layoutX = 0, secondArrow.layoutY = n - arrowLength, secondArrow.layoutW = 0;
        secondArrow.layoutH = arrowLength;
    } else {
        firstArrow.layoutX = 0, firstArrow.layoutY = 0, firstArrow.layoutW = arrowLength, firstArrow.layoutH = 0;
        secondArrow.layoutX = n - arrowLength, secondArrow.layoutY = 0, secondArrow.layoutW = arrowLength;
        secondArrow.layoutH = 0;
    }
    // An arrow of no length lays out to nothing rather than to the whole bar.
    firstArrow.visible = secondArrow.visible = arrowLength > 0;
    layoutThumb();
    container.updateChildLayout();
}

void ScrollBarControl::procPaint() {
    if (!canPaint()) return;
    const ControlScope scope(*this);
    fillRectangle(visibleRect.x - fullRect.x, visibleRect.y - fullRect.y, visibleRect.x - fullRect.x + visibleRect.w,
                  visibleRect.y - fullRect.y + visibleRect.h, brush(backgroundBrush));
    for (size_t i = 0; i < container.children.size(); ++i) container.children[i]->procPaint();
    const int32_t t = vertical ? visibleRect.w : visibleRect.h;
    const int32_t trackX = vertical ? visibleRect.x : visibleRect.x + arrowLength;
    const int32_t trackY = vertical ? visibleRect.y + arrowLength : visibleRect.y;
    const int32_t trackW = vertical ? visibleRect.w : trackLength;
    const int32_t trackH = vertical ? trackLength : visibleRect.h;
    if (trackW <= 0 || trackH <= 0) return;
    const DrawScope track(*this, trackX, trackY, trackX + trackW, trackY + trackH, true);
    const float g = std::max(static_cast<float>(t) * 0.2f, 0.5f);
    Platform::draw2d::Brush& body = brush(Window::ControlInput::bodyColour(thumb));
    if (vertical)
        fillRectangleF(g, thumbStart, static_cast<float>(t) - g, thumbEnd, body);
    else
        fillRectangleF(thumbStart, g, thumbEnd, static_cast<float>(t) - g, body);
}

}  // namespace Control
