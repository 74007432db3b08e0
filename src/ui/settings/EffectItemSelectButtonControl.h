#pragma once
#include <cstdint>
#include <memory>

#include "effect/EffectItemSelect.h"
#include "ui/controls/TextButtonControl.h"
#include "ui/settings/EffectItemControl.h"

// The row of a select-button item: one button showing the chosen option whose
// menu lists every option; it may share its line with the buttons around it.
namespace Component {

class EffectItemSelectButtonControl : public EffectItemControl<Effect::EffectItemSelect> {
public:
    EffectItemSelectButtonControl(Window::ControlContainer& parent, EffectSetting& block,
                                  const std::shared_ptr<Effect::EffectBase>& effect, Effect::EffectItemSelect& item);

    static std::shared_ptr<EffectItemBaseControl> create(Effect::EffectItem& item, Window::ControlContainer& parent,
                                                         EffectSetting& block,
                                                         const std::shared_ptr<Effect::EffectBase>& effect);

    void updateValue() override;
    // The key when the list holds it, else its smallest; no item event.
    void setOption(int32_t key);
    void showMenu();

    Control::TextButtonControl button;
};

}  // namespace Component
