#include "ui/settings/EffectItemButtonControl.h"

#include "ui/framework/StyleMetrics.h"
#include "ui/settings/ItemControlText.h"

namespace Component {

EffectItemButtonControl::EffectItemButtonControl(Window::ControlContainer& parent, EffectSetting& owner,
                                                 const std::shared_ptr<Effect::EffectBase>& edited,
                                                 Effect::EffectItemButton& pressed)
    : EffectItemControl(parent, owner, edited, pressed, Window::SettingItemRowHeight),
      button(frame, 0, 0, 0, 0, Control::TextButtonControl::Centred) {
    placeInLine(*this, pressed, pressed.layout.width);
    button.text = itemLabel(pressed);
    button.clickAction = [this](Control::ButtonControl&) {
        // The action may rebuild the panel: keep the effect, copy the action.
        const std::shared_ptr<Effect::EffectBase> kept = effect();
        const std::function<void()> action = item->action;
        if (action) action();
    };
}

std::shared_ptr<EffectItemBaseControl> EffectItemButtonControl::create(Effect::EffectItem& item,
                                                                       Window::ControlContainer& parent,
                                                                       EffectSetting& block,
                                                                       const std::shared_ptr<Effect::EffectBase>& effect) {
    auto* pressed = item.to<Effect::EffectItemButton>();
    if (pressed == nullptr) return nullptr;
    return std::make_shared<EffectItemButtonControl>(parent, block, effect, *pressed);
}

}  // namespace Component
