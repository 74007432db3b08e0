#pragma once
#include <cstdint>
#include <functional>

#include "edit/FrameZoom.h"
#include "ui/controls/WindowControlRenderTarget.h"

// The timeline's zoom gauge: a row of bars, one per step of the zoom table,
// lit up to the current level. A press or a drag along it asks for the level
// under the pointer, the wheel for the next level up or down; the owner
// stores the zoom and calls setZoom.
namespace Control {

class ZoomGaugeControl : public Window::WindowControlRenderTarget {
public:
    using ChangeAction = std::function<void(ZoomGaugeControl&, Edit::FrameZoom zoom)>;

    ZoomGaugeControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h);
    ZoomGaugeControl(Window::WindowControl& parent, int32_t x, int32_t y, int32_t w, int32_t h);

    void procLButtonDown(int32_t x, int32_t y) override;
    void procMouseMove(int32_t x, int32_t y) override;
    void procMouseWheel(int32_t x, int32_t y, int32_t delta) override;
    void procMouseHover() override;
    void procMouseEnter() override;
    void procMouseLeave() override;
    void procCaptureLost() override;
    void procMove() override;
    void procPaint() override;

    // Asks for the level under x (local to the gauge).
    void setZoomFromX(int32_t x);
    // Asks the owner for the zoom unless it is the current one.
    void requestZoom(Edit::FrameZoom requested);
    // Shows the zoom: lit up to its table position.
    void setZoom(Edit::FrameZoom shown);

    Edit::FrameZoom zoom;
    int32_t barCount = 0, barStep = 1, barOffset = 0;
    int32_t litCount = 0;
    ChangeAction changeAction;
};

}  // namespace Control
