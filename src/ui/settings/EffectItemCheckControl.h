#pragma once
#include <memory>

#include "effect/EffectItemCheck.h"
#include "ui/controls/CheckButtonControl.h"
#include "ui/controls/TextControl.h"
#include "ui/settings/EffectItemControl.h"

// The row of a check item: a square box and the item's name. A click on the
// name or on any empty part of the row toggles it like the box. The change is
// one undo step and reaches the same item of the other selected objects.
namespace Component {

class EffectItemCheckControl : public EffectItemControl<Effect::EffectItemCheck> {
public:
    EffectItemCheckControl(Window::ControlContainer& parent, EffectSetting& block,
                           const std::shared_ptr<Effect::EffectBase>& effect, Effect::EffectItemCheck& item);

    // None while the item is hidden.
    static std::shared_ptr<EffectItemBaseControl> create(Effect::EffectItem& item, Window::ControlContainer& parent,
                                                         EffectSetting& block,
                                                         const std::shared_ptr<Effect::EffectBase>& effect);

    void updateValue() override;
    void setCheckValue(bool on);

    Control::CheckButtonControl checkBox;
    Control::TextControl label;
};

}  // namespace Component
