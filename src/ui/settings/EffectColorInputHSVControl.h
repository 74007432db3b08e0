#pragma once
#include "ui/settings/EffectColorInputBase.h"

// The hue (0 to 360), saturation and value (0 to 100) rows, one decimal.
namespace Component {

class EffectColorInputHSVControl : public EffectColorInputBase {
public:
    EffectColorInputHSVControl(Window::ControlContainer& container, EffectColorSettingComponent& panel);

    void updateValue() override;

protected:
    void changed(int32_t row, double v) override;
};

}  // namespace Component
