#pragma once
#include "ui/settings/EffectItemIntegerControl.h"

// The row of a layer range: how many layers below a group or camera control
// object it acts on, 0 ("---") for every following layer. A change re-sorts
// the layers and rebuilds the spans the control objects cover.
namespace Component {

class EffectItemLayerRangeControl : public EffectItemIntegerControl {
public:
    EffectItemLayerRangeControl(Window::ControlContainer& parent, EffectSetting& block,
                                const std::shared_ptr<Effect::EffectBase>& effect, Effect::EffectItemInteger& item);

protected:
    void addUndoItem() override;
    void storeValue(Edit::UpdateSection& scope, int32_t v) override;
};

}  // namespace Component
