#pragma once
#include <cstdint>

#include "ui/controls/WindowControlRenderTarget.h"

// The new colour as a large patch with the old colour in its lower right
// corner; a click on the old colour swaps the two (one undo step).
namespace Component {

class EffectColorSettingComponent;

class EffectColorPreviewControl : public Window::WindowControlRenderTarget {
public:
    EffectColorPreviewControl(Window::ControlContainer& container, EffectColorSettingComponent& panel);

    void procMouseMove(int32_t x, int32_t y) override;
    void procMouseLeave() override;
    void procLButtonDown(int32_t x, int32_t y) override;
    void procPaint() override;
    void procMove() override;

    EffectColorSettingComponent* panel;
    int32_t originX = 0;
    int32_t originY = 0;
    bool hover = false;
};

}  // namespace Component
