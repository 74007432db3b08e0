#include "ui/settings/EffectItemSelectControl.h"

namespace Component {

EffectItemSelectControl::EffectItemSelectControl(Window::ControlContainer& parent, EffectSetting& owner,
                                                 const std::shared_ptr<Effect::EffectBase>& edited,
                                                 Effect::EffectItemSelect& select)
    : EffectItemSelectBase(parent, owner, edited, select),
      label(frame, 0, 0, Window::SettingItemHeaderWidth, 0, itemLabel(select), Control::TextControl::Centred) {
    label.backgroundBrush = Window::StyleBrushList::ButtonBody;
    updateValue();
}

std::shared_ptr<EffectItemBaseControl> EffectItemSelectControl::create(Effect::EffectItem& item,
                                                                       Window::ControlContainer& parent,
                                                                       EffectSetting& block,
                                                                       const std::shared_ptr<Effect::EffectBase>& effect) {
    auto* select = item.to<Effect::EffectItemSelect>();
    if (select == nullptr) return nullptr;
    return std::make_shared<EffectItemSelectControl>(parent, block, effect, *select);
}

void EffectItemSelectControl::updateValue() { showValue(optionText(item->options, item->index)); }

void EffectItemSelectControl::selectKey(int32_t key) {
    commitChange([this, key](Edit::UpdateSection&) {
        if (item->options != nullptr) item->index = item->options->listedOrFirst(key);
        updateValue();
    });
}

}  // namespace Component
