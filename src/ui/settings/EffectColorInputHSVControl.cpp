#include "ui/settings/EffectColorInputHSVControl.h"

#include <algorithm>

#include "ui/settings/EffectColorSettingComponent.h"

namespace Component {

EffectColorInputHSVControl::EffectColorInputHSVControl(Window::ControlContainer& container,
                                                       EffectColorSettingComponent& owner)
    : EffectColorInputBase(container, owner) {
    setUp({L"H", L"S", L"V"}, {360, 100, 100}, 0.1);
    const Media::ColorHsv hsv = Media::rgbToHsv(owner.color.r, owner.color.g, owner.color.b);
    sliders[0]->setValue(hsv.h * 360);
    sliders[1]->setValue(hsv.s * 100);
    sliders[2]->setValue(hsv.v * 100);
}

void EffectColorInputHSVControl::updateValue() {
    EffectColorInputBase::updateValue();
    sliders[0]->setValue(panel->hue * 360);
    sliders[1]->setValue(panel->saturation * 100);
    sliders[2]->setValue(panel->value * 100);
}

void EffectColorInputHSVControl::changed(int32_t row, double v) {
    float h = panel->hue, s = panel->saturation, value = panel->value;
    if (row == 0)
        h = std::clamp(float(v / 360), 0.0f, 1.0f);
    else if (row == 1)
        s = std::clamp(float(v / 100), 0.0f, 1.0f);
    else
        value = std::clamp(float(v / 100), 0.0f, 1.0f);
    panel->setHsv(h, s, value);
    panel->applyColor();
}

}  // namespace Component
