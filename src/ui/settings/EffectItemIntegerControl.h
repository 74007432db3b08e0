#pragma once
#include <memory>

#include "effect/EffectItemInteger.h"
#include "ui/controls/SliderInputControl.h"
#include "ui/controls/TextControl.h"
#include "ui/settings/EffectItemControl.h"

namespace Edit {
class UpdateSection;
}

// The row of an integer item: its name and a slider of whole numbers. One
// drag or one typed entry is one undo step; only the shown object changes and
// the effect gets no item event.
namespace Component {

class EffectItemIntegerControl : public EffectItemControl<Effect::EffectItemInteger> {
public:
    EffectItemIntegerControl(Window::ControlContainer& parent, EffectSetting& block,
                             const std::shared_ptr<Effect::EffectBase>& effect, Effect::EffectItemInteger& item);
    ~EffectItemIntegerControl() override;

    // A layer-range row for a layer range, none for a hidden integer.
    static std::shared_ptr<EffectItemBaseControl> create(Effect::EffectItem& item, Window::ControlContainer& parent,
                                                         EffectSetting& block,
                                                         const std::shared_ptr<Effect::EffectBase>& effect);

    void updateValue() override;

    Control::TextControl label;
    Control::SliderInputControl slider;

protected:
    // What the record holds from the start of a change.
    virtual void addUndoItem();
    // The value stored inside the step's scope.
    virtual void storeValue(Edit::UpdateSection& scope, int32_t v);

private:
    void beginEdit();
    void applyValue();
    void endEdit();

    bool recordOpen_ = false;
};

}  // namespace Component
