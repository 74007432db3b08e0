#pragma once
#include <memory>

#include "effect/EffectItemButton.h"
#include "ui/controls/TextButtonControl.h"
#include "ui/settings/EffectItemControl.h"

// The row of a button item: one push button with the item's name that runs
// the item's action. The action does its own editing; the row adds no undo
// step of its own.
namespace Component {

class EffectItemButtonControl : public EffectItemControl<Effect::EffectItemButton> {
public:
    EffectItemButtonControl(Window::ControlContainer& parent, EffectSetting& block,
                            const std::shared_ptr<Effect::EffectBase>& effect, Effect::EffectItemButton& item);

    static std::shared_ptr<EffectItemBaseControl> create(Effect::EffectItem& item, Window::ControlContainer& parent,
                                                         EffectSetting& block,
                                                         const std::shared_ptr<Effect::EffectBase>& effect);

    Control::TextButtonControl button;
};

}  // namespace Component
