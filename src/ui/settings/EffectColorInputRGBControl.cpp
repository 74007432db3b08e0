#include "ui/settings/EffectColorInputRGBControl.h"

#include <cmath>

#include "ui/settings/EffectColorSettingComponent.h"

namespace Component {

EffectColorInputRGBControl::EffectColorInputRGBControl(Window::ControlContainer& container,
                                                       EffectColorSettingComponent& owner)
    : EffectColorInputBase(container, owner) {
    setUp({L"R", L"G", L"B"}, {255, 255, 255}, 1);
    const Media::ColorBytes bytes = Media::rgbToBytes(owner.color.r, owner.color.g, owner.color.b);
    sliders[0]->setValue(bytes.r);
    sliders[1]->setValue(bytes.g);
    sliders[2]->setValue(bytes.b);
}

void EffectColorInputRGBControl::updateValue() {
    EffectColorInputBase::updateValue();
    const Media::ColorBytes bytes = Media::rgbToBytes(panel->color.r, panel->color.g, panel->color.b);
    sliders[0]->setValue(bytes.r);
    sliders[1]->setValue(bytes.g);
    sliders[2]->setValue(bytes.b);
}

void EffectColorInputRGBControl::changed(int32_t row, double v) {
    Media::ColorRgba c = panel->color;
    const float channel = float(std::trunc(v)) / 255;
    (row == 0 ? c.r : row == 1 ? c.g : c.b) = channel;
    panel->setColor(c);
    panel->applyColor();
}

}  // namespace Component
