#pragma once
#include <cstdint>
#include <memory>

#include "effect/EffectItemNumber.h"
#include "ui/controls/LayoutControl.h"
#include "ui/controls/SliderInputControl.h"
#include "ui/controls/TextIconButtonControl.h"
#include "ui/settings/EffectItemControl.h"

// The row of a number item: a name button that tells and chooses the
// movement, and one slider (the value at the key nearest the cursor) or two
// (the values at the start and the end of the section holding the cursor)
// that are dragged, stepped or typed into. A drag or an entry is one undo
// step; with several objects selected it edits the same item of each.
namespace Component {

class EffectItemNumberControl : public EffectItemControl<Effect::EffectItemNumber> {
public:
    EffectItemNumberControl(Window::ControlContainer& parent, EffectSetting& block,
                            const std::shared_ptr<Effect::EffectBase>& effect, Effect::EffectItemNumber& number);

    // The table's factory: a row while the item is shown, else none.
    static std::shared_ptr<EffectItemBaseControl> create(Effect::EffectItem& item, Window::ControlContainer& parent,
                                                         EffectSetting& block,
                                                         const std::shared_ptr<Effect::EffectBase>& effect);

    void updateSection() override;
    void updateValue() override;
    void procMove() override;

    // Two sliders: the section's start and end values side by side.
    bool pairMode() const;
    // The key the first slider shows.
    int32_t getShownKey() const;
    // Writes a value at a key of the item (and of the twins' items).
    void applyValue(int32_t index, double value);
    void showMovementMenu();
    void editMovementDetail();

    int32_t keyCount = 0;
    int32_t shownKey = 0;
    Control::TextIconButtonControl nameButton;
    Control::LayoutControl sliderArea;
    Control::SliderInputControl firstSlider;
    Control::SliderInputControl secondSlider;

private:
    void setUpSlider(Control::SliderInputControl& slider, int32_t offset);
    int32_t clampKey(int32_t index) const;
};

}  // namespace Component
