#pragma once
#include <cstdint>

#include "ui/controls/WindowControlRenderTarget.h"

namespace Resource {
class TextFormat;
}

// The time ruler above the timeline's rows: ticks with time labels, the
// frame-range selection and the cursor. Presses and the wheel go on to the
// object area, so a left press seeks (Shift extends the frame-range
// selection, a double click clears it) and a right drag pans.
namespace Component {

class EditComponent;

class TimeGaugeControl : public Window::WindowControlRenderTarget {
public:
    TimeGaugeControl(EditComponent& panel, Window::ControlContainer& container, int32_t x, int32_t y, int32_t w,
                     int32_t h);

    void procPaint() override;
    void procLButtonDown(int32_t x, int32_t y) override;
    void procRButtonDown(int32_t x, int32_t y) override;
    void procMouseWheel(int32_t x, int32_t y, int32_t delta) override;
    void procContextMenu(int32_t x, int32_t y) override;

    // Frames between two ticks, at least `spacing` pixels apart at the zoom.
    static int32_t tickStep(int32_t zoom, int32_t spacing);

private:
    int32_t toAreaX(int32_t x) const;
    int32_t toAreaY(int32_t y) const;

    EditComponent& panel_;
    Resource::TextFormat* format_ = nullptr;
};

}  // namespace Component
