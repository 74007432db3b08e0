#pragma once
#include <memory>

#include "effect/EffectItemSelect.h"
#include "ui/controls/TextControl.h"
#include "ui/settings/EffectItemSelectBase.h"

// The row of a select item: its name on a button-like background and the
// value button with the chosen option.
namespace Component {

class EffectItemSelectControl : public EffectItemSelectBase<Effect::EffectItemSelect> {
public:
    EffectItemSelectControl(Window::ControlContainer& parent, EffectSetting& block,
                            const std::shared_ptr<Effect::EffectBase>& effect, Effect::EffectItemSelect& item);

    static std::shared_ptr<EffectItemBaseControl> create(Effect::EffectItem& item, Window::ControlContainer& parent,
                                                         EffectSetting& block,
                                                         const std::shared_ptr<Effect::EffectBase>& effect);

    void updateValue() override;
    // The key when the list holds it, else its smallest; item event 1.
    void selectKey(int32_t key) override;

    Control::TextControl label;
};

}  // namespace Component
