#include "ui/settings/EffectItemStringControl.h"

#include "ui/framework/StyleMetrics.h"
#include "ui/settings/ItemControlText.h"

namespace Component {

EffectItemStringControl::EffectItemStringControl(Window::ControlContainer& parent, EffectSetting& owner,
                                                 const std::shared_ptr<Effect::EffectBase>& edited,
                                                 Effect::EffectItemString& string)
    : EffectItemControl(parent, owner, edited, string, Window::SettingItemRowHeight),
      label(frame, 0, 0, Window::SettingItemHeaderWidth, 0, itemLabel(string), Control::TextControl::LeftMiddle),
      entry(frame, Window::SettingItemHeaderWidth + Window::SettingItemMarginWidth, 0) {
    entry.setInputFilter(L"[^\r\n]");
    entry.onChange = [this](Control::EditControl&) { applyString(); };
    updateValue();
}

std::shared_ptr<EffectItemBaseControl> EffectItemStringControl::create(Effect::EffectItem& item,
                                                                       Window::ControlContainer& parent,
                                                                       EffectSetting& block,
                                                                       const std::shared_ptr<Effect::EffectBase>& effect) {
    auto* string = item.to<Effect::EffectItemString>();
    if (string == nullptr) return nullptr;
    return std::make_shared<EffectItemStringControl>(parent, block, effect, *string);
}

void EffectItemStringControl::updateValue() {
    if (entry.text != item->text) entry.setText(item->text);
}

void EffectItemStringControl::applyString() {
    // A string tells the effect nothing: no item event.
    commitWithoutEvent(*this, [this](Edit::UpdateSection&) { item->text = entry.text; });
}

}  // namespace Component
