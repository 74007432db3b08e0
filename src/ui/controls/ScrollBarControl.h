#pragma once
#include <cstdint>
#include <functional>

#include "ui/controls/ControlContainer.h"
#include "ui/controls/RepeatClickButtonControl.h"
#include "ui/controls/WindowControlRenderTarget.h"
#include "ui/framework/StyleBrushList.h"
#include "ui/framework/WindowMouse.h"

// A scroll bar: two repeating arrow buttons, a track and a thumb over the
// visible span [first, last] of the range [minimum, maximum]. The bar never
// moves itself: arrows, track clicks, the wheel and thumb drags ask the
// owner's scroll action for a new first unit; the owner scrolls and calls
// setPosition. The owner decides what a unit is.
namespace Control {

class ScrollBarControl : public Window::WindowControlRenderTarget {
public:
    using ScrollAction = std::function<void(ScrollBarControl&, int32_t first)>;

    // The thumb: a press arms a drag that moves the span by the pointer's
    // total displacement along the track.
    class BarMouse : public Window::WindowMouse {
    public:
        explicit BarMouse(ScrollBarControl& bar);
        void procLButtonDown(int32_t x, int32_t y) override;
        void procMouseDrag(int32_t dx, int32_t dy) override;
        void procMouseEnter() override;
        void procMouseLeave() override;
        void procCaptureLost() override;

    private:
        ScrollBarControl& bar_;
    };

    // Vertical, laid out (x, y, width, 0): down to the container's bottom.
    ScrollBarControl(Window::ControlContainer& owner, int32_t x, int32_t y, int32_t width);
    // Laid out (x, y, w, h): vertical when h <= 0, horizontal when w <= 0,
    // otherwise along the longer side.
    ScrollBarControl(Window::WindowControl& parent, int32_t x, int32_t y, int32_t w, int32_t h);
    ScrollBarControl(Window::ControlContainer& owner, int32_t x, int32_t y, int32_t w, int32_t h);
    ~ScrollBarControl() override;

    void procLButtonDown(int32_t x, int32_t y) override;
    void procMouseWheel(int32_t x, int32_t y, int32_t delta) override;
    void procMove() override;
    void procPaint() override;

    // Sets the shown span, clamped into the range; no action, no repaint.
    void setPosition(int32_t firstUnit, int32_t lastUnit);
    // Centres the span on the fraction of the range.
    void setPositionRatio(float fraction);
    // Asks the owner to show the span from `value` (clamped so that the span
    // stays inside the range); nothing when that is the current first unit.
    void requestScroll(int32_t value);
    void setOrientation(int32_t w, int32_t h);

    Window::StyleBrushList::Index backgroundBrush = Window::StyleBrushList::Background;
    int32_t minimum = 0, maximum = 0;
    int32_t first = 0, last = 0;
    int32_t wheelStep = 1;
    bool vertical = true;
    int32_t arrowLength = 0;
    int32_t trackLength = 0;
    float thumbStartFraction = 0, thumbEndFraction = 1;
    float thumbStart = 0, thumbEnd = 0;
    int32_t dragStartFirst = 0;
    ScrollAction scrollAction;
    Window::ControlContainer container;
    RepeatClickButtonControl firstArrow;
    RepeatClickButtonControl secondArrow;
    Window::MouseRect thumbRect;
    BarMouse thumb;

private:
    void layoutThumb();
};

}  // namespace Control
