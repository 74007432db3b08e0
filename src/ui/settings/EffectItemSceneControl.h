#pragma once
#include <cstdint>
#include <memory>

#include "effect/EffectItemInteger.h"
#include "ui/controls/TextButtonControl.h"
#include "ui/controls/TextControl.h"
#include "ui/settings/EffectItemControl.h"

// The row of a scene item: a name button whose menu lists the scenes of the
// project and the chosen scene's name.
namespace Component {

class EffectItemSceneControl : public EffectItemControl<Effect::EffectItemInteger> {
public:
    EffectItemSceneControl(Window::ControlContainer& parent, EffectSetting& block,
                           const std::shared_ptr<Effect::EffectBase>& effect, Effect::EffectItemInteger& item);

    static std::shared_ptr<EffectItemBaseControl> create(Effect::EffectItem& item, Window::ControlContainer& parent,
                                                         EffectSetting& block,
                                                         const std::shared_ptr<Effect::EffectBase>& effect);

    void updateValue() override;
    void setScene(int32_t id);
    // The scenes other than the root and the edited one; a tool tip when there are none.
    void showSceneMenu();

    Control::TextButtonControl nameButton;
    Control::TextControl valueText;
};

}  // namespace Component
