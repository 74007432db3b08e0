#pragma once
#include "ui/settings/EffectColorInputBase.h"

// The red, green and blue rows, whole bytes.
namespace Component {

class EffectColorInputRGBControl : public EffectColorInputBase {
public:
    EffectColorInputRGBControl(Window::ControlContainer& container, EffectColorSettingComponent& panel);

    void updateValue() override;

protected:
    void changed(int32_t row, double v) override;
};

}  // namespace Component
