#pragma once
#include <memory>

#include "effect/EffectItemCheckButton.h"
#include "ui/controls/CheckTextButtonControl.h"
#include "ui/settings/EffectItemControl.h"

// The row of a check-button item: one toggle with the item's name, which may
// share its line with the buttons around it. Only the shown object changes.
namespace Component {

class EffectItemCheckButtonControl : public EffectItemControl<Effect::EffectItemCheckButton> {
public:
    EffectItemCheckButtonControl(Window::ControlContainer& parent, EffectSetting& block,
                                 const std::shared_ptr<Effect::EffectBase>& effect,
                                 Effect::EffectItemCheckButton& item);

    static std::shared_ptr<EffectItemBaseControl> create(Effect::EffectItem& item, Window::ControlContainer& parent,
                                                         EffectSetting& block,
                                                         const std::shared_ptr<Effect::EffectBase>& effect);

    void updateValue() override;
    void setCheckButtonValue(bool on);

    Control::CheckTextButtonControl toggle;
};

}  // namespace Component
