#pragma once
#include <cstdint>

#include "core/Timer.h"
#include "ui/controls/IconButtonControl.h"

// An icon button that keeps clicking while it is held: once at the press,
// again after the keyboard's repeat delay and then at its repeat interval,
// until the router takes its capture away (the release).
namespace Control {

class RepeatClickButtonControl : public IconButtonControl {
public:
    // Laid out (0, 0, 0, 0), no glyph, unframed: its owner places it.
    explicit RepeatClickButtonControl(Window::ControlContainer& container);
    RepeatClickButtonControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h,
                             const IconGlyph& glyph);
    ~RepeatClickButtonControl() override;

    void procLButtonDown(int32_t x, int32_t y) override;
    void procCaptureLost() override;

    // The repeat timing of the settings: the delay before the first repeat and the interval after it, in ms.
    static uint32_t repeatDelay();
    static uint32_t repeatInterval();

    Action pressAction;
    Action releaseAction;
    System::Timer repeatTimer;
};

}  // namespace Control
