#include "ui/settings/EffectItemCheckButtonControl.h"

#include "ui/framework/StyleMetrics.h"
#include "ui/settings/ItemControlText.h"

namespace Component {

EffectItemCheckButtonControl::EffectItemCheckButtonControl(Window::ControlContainer& parent, EffectSetting& owner,
                                                           const std::shared_ptr<Effect::EffectBase>& edited,
                                                           Effect::EffectItemCheckButton& check)
    : EffectItemControl(parent, owner, edited, check, Window::SettingItemRowHeight),
      toggle(frame, 0, 0, 0, 0, itemLabel(check)) {
    placeInLine(*this, check, check.layout.width);
    toggle.setCheckAction([this](Control::CheckButtonControl& button) { setCheckButtonValue(button.checkState); });
    clickAction = [this] { toggle.clickAction(toggle); };
    updateValue();
}

std::shared_ptr<EffectItemBaseControl> EffectItemCheckButtonControl::create(
    Effect::EffectItem& item, Window::ControlContainer& parent, EffectSetting& block,
    const std::shared_ptr<Effect::EffectBase>& effect) {
    auto* check = item.to<Effect::EffectItemCheckButton>();
    if (check == nullptr) return nullptr;
    return std::make_shared<EffectItemCheckButtonControl>(parent, block, effect, *check);
}

void EffectItemCheckButtonControl::updateValue() { toggle.setCheckState(item->value != 0); }

void EffectItemCheckButtonControl::setCheckButtonValue(bool on) {
    // The toggle tells the effect nothing: no item event.
    commitWithoutEvent(*this, [this, on](Edit::UpdateSection&) { item->value = on ? 1 : 0; });
}

}  // namespace Component
