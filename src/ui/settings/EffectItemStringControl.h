#pragma once
#include <memory>

#include "effect/EffectItemString.h"
#include "ui/controls/EditControl.h"
#include "ui/controls/TextControl.h"
#include "ui/settings/EffectItemControl.h"

// The row of a one-line string item: its name and a one-line entry that takes
// every character but line breaks. Every edit is its own undo step.
namespace Component {

class EffectItemStringControl : public EffectItemControl<Effect::EffectItemString> {
public:
    EffectItemStringControl(Window::ControlContainer& parent, EffectSetting& block,
                            const std::shared_ptr<Effect::EffectBase>& effect, Effect::EffectItemString& item);

    static std::shared_ptr<EffectItemBaseControl> create(Effect::EffectItem& item, Window::ControlContainer& parent,
                                                         EffectSetting& block,
                                                         const std::shared_ptr<Effect::EffectBase>& effect);

    void updateValue() override;
    void applyString();

    Control::TextControl label;
    Control::EditControl entry;
};

}  // namespace Component
