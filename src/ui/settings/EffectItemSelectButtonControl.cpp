#include "ui/settings/EffectItemSelectButtonControl.h"

#include "effect/EffectItemSelectButton.h"
#include "platform/window/Menu.h"
#include "ui/framework/PopupMenu.h"
#include "ui/framework/StyleMetrics.h"
#include "ui/settings/ItemControlText.h"

namespace Component {

EffectItemSelectButtonControl::EffectItemSelectButtonControl(Window::ControlContainer& parent, EffectSetting& owner,
                                                             const std::shared_ptr<Effect::EffectBase>& edited,
                                                             Effect::EffectItemSelect& select)
    : EffectItemControl(parent, owner, edited, select, Window::SettingItemRowHeight),
      button(frame, 0, 0, 0, 0, Control::TextButtonControl::Centred) {
    const auto* shared = dynamic_cast<Effect::EffectItemSelectButton*>(&select);
    placeInLine(*this, select, shared != nullptr ? shared->layout.width : 0.0f);
    button.clickAction = [this](Control::ButtonControl&) { showMenu(); };
    updateValue();
}

std::shared_ptr<EffectItemBaseControl> EffectItemSelectButtonControl::create(
    Effect::EffectItem& item, Window::ControlContainer& parent, EffectSetting& block,
    const std::shared_ptr<Effect::EffectBase>& effect) {
    auto* select = item.to<Effect::EffectItemSelect>();
    if (select == nullptr) return nullptr;
    return std::make_shared<EffectItemSelectButtonControl>(parent, block, effect, *select);
}

void EffectItemSelectButtonControl::updateValue() { button.setText(optionText(item->options, item->index)); }

void EffectItemSelectButtonControl::setOption(int32_t key) {
    commitWithoutEvent(*this, [this, key](Edit::UpdateSection&) {
        if (item->options != nullptr) item->index = item->options->listedOrFirst(key);
        updateValue();
    });
}

void EffectItemSelectButtonControl::showMenu() {
    if (item->options == nullptr) return;
    Window::PopupMenu menu;
    for (const auto& [key, text] : item->options->indexMap) {
        const Window::BaseMenu::Item entry =
            menu.insertItem(optionText(item->options, key), [this, key = key] { setOption(key); });
        entry.setRadioCheck();
        if (key == item->index) Platform::window::checkMenuItem(entry.menu, static_cast<uint32_t>(entry.id), true);
    }
    menu.show();
}

}  // namespace Component
