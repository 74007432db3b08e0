#include "ui/settings/EffectItemCheckControl.h"

#include <algorithm>

#include "edit/UndoService.h"
#include "effect/EffectBase.h"
#include "ui/framework/StyleMetrics.h"
#include "ui/settings/ItemControlText.h"

namespace Component {

EffectItemCheckControl::EffectItemCheckControl(Window::ControlContainer& parent, EffectSetting& owner,
                                               const std::shared_ptr<Effect::EffectBase>& edited,
                                               Effect::EffectItemCheck& check)
    : EffectItemControl(parent, owner, edited, check, Window::SettingItemRowHeight),
      checkBox(frame, 0, 0, Window::SettingItemRowHeight, 0),
      label(frame, Window::SettingItemRowHeight + Window::SettingItemMarginWidth, 0, 0, 0, itemLabel(check),
            Control::TextControl::LeftMiddle) {
    checkBox.checkBrush = Window::StyleBrushList::Grouping;
    checkBox.setCheckAction([this](Control::CheckButtonControl& box) { setCheckValue(box.checkState); });
    clickAction = [this] { checkBox.clickAction(checkBox); };
    updateValue();
}

std::shared_ptr<EffectItemBaseControl> EffectItemCheckControl::create(Effect::EffectItem& item,
                                                                      Window::ControlContainer& parent,
                                                                      EffectSetting& block,
                                                                      const std::shared_ptr<Effect::EffectBase>& effect) {
    auto* check = item.to<Effect::EffectItemCheck>();
    if (check == nullptr || check->shown == 0) return nullptr;
    return std::make_shared<EffectItemCheckControl>(parent, block, effect, *check);
}

void EffectItemCheckControl::updateValue() { checkBox.setCheckState(item->value != 0); }

void EffectItemCheckControl::setCheckValue(bool on) {
    const auto& own = effect()->items;
    const auto at = std::find(own.begin(), own.end(), static_cast<Effect::EffectItem*>(item)) - own.begin();
    commitChange([&](Edit::UpdateSection&) {
        item->value = on ? 1 : 0;
        // The same check of the other selected objects, when it is there.
        for (const auto& twin : getTwinEffects()) {
            if (at >= static_cast<std::ptrdiff_t>(twin->items.size())) continue;
            Effect::EffectItem* other = twin->items[static_cast<size_t>(at)];
            if (other->type != item->type || other->name != item->name) continue;
            auto* check = dynamic_cast<Effect::EffectItemCheck*>(other);
            if (check == nullptr) continue;
            if (Undo::UndoService* undo = Undo::UndoService::get()) undo->addEffectUndoUpdate(twin);
            check->value = item->value;
        }
    });
}

}  // namespace Component
