#pragma once
#include <cstdint>
#include <functional>

#include "ui/controls/WindowControlRenderTarget.h"
#include "ui/framework/WindowMouse.h"

// A knob on a groove over the integers [minimum, maximum], with two marked
// sub-ranges (a range with end marks, a selection on the groove). A press on
// the groove jumps there and goes on as a knob drag; the bar hands every
// requested position to its owner's change action and shows what the owner
// sets back with setPosition.
namespace Control {

class TrackBarControl : public Window::WindowControlRenderTarget {
public:
    using ChangeAction = std::function<void(TrackBarControl&, int32_t position)>;

    class BarMouse : public Window::WindowMouse {
    public:
        explicit BarMouse(TrackBarControl& bar);
        void procLButtonDown(int32_t x, int32_t y) override;
        void procMouseDrag(int32_t dx, int32_t dy) override;
        void procMouseEnter() override;
        void procMouseLeave() override;
        void procCaptureLost() override;

    private:
        TrackBarControl& bar_;
    };

    TrackBarControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h);
    TrackBarControl(Window::WindowControl& parent, int32_t x, int32_t y, int32_t w, int32_t h);

    void procLButtonDown(int32_t x, int32_t y) override;
    void procMove() override;
    void procPaint() override;

    // The range [min(n, 0), max(n, 0)]; the position and sub-ranges are clamped into it.
    void setLength(int32_t n);
    // Shows the position, clamped into the range, and draws again on a change.
    void setPosition(int32_t p);
    void setRange(int32_t a, int32_t b);
    void setSelectRange(int32_t a, int32_t b);
    // Asks the owner for the position (clamped); nothing when it is the current one.
    void changePosition(int32_t p);
    void layoutBar();

    int32_t minimum = 0, maximum = 0, position = 0;
    int32_t rangeStart = 0, rangeEnd = 0;
    int32_t selectStart = 0, selectEnd = 0;
    int32_t barLength = 0;
    float knobSize = 3, margin = 0;
    float positionFraction = 0, positionPixel = 0;
    int32_t dragStartPosition = 0;
    float rangeStartFraction = 0, rangeEndFraction = 0, rangeStartPixel = 0, rangeEndPixel = 0;
    float selectStartFraction = 0, selectEndFraction = 0, selectStartPixel = 0, selectEndPixel = 0;
    ChangeAction changeAction;
    Window::MouseRect knobRect;
    BarMouse knob;

private:
    float fractionOf(int32_t value) const;
};

}  // namespace Control
