#include "ui/settings/EffectItemFontSelectControl.h"

#include "platform/window/Menu.h"
#include "ui/framework/Host.h"
#include "ui/framework/PopupMenu.h"

namespace Component {

EffectItemFontSelectControl::EffectItemFontSelectControl(Window::ControlContainer& parent, EffectSetting& owner,
                                                         const std::shared_ptr<Effect::EffectBase>& edited,
                                                         Effect::EffectItemFontSelect& font)
    : EffectItemSelectBase(parent, owner, edited, font),
      nameButton(frame, 0, 0, Window::SettingItemHeaderWidth, 0, Control::TextButtonControl::Centred) {
    nameButton.text = itemLabel(font);
    nameButton.clickAction = [this](Control::ButtonControl&) { showFontMenu(); };
    updateValue();
}

std::shared_ptr<EffectItemBaseControl> EffectItemFontSelectControl::create(
    Effect::EffectItem& item, Window::ControlContainer& parent, EffectSetting& block,
    const std::shared_ptr<Effect::EffectBase>& effect) {
    auto* font = item.to<Effect::EffectItemFontSelect>();
    if (font == nullptr) return nullptr;
    return std::make_shared<EffectItemFontSelectControl>(parent, block, effect, *font);
}

void EffectItemFontSelectControl::updateValue() { showValue(optionText(item->options, item->index)); }

void EffectItemFontSelectControl::selectKey(int32_t key) {
    commitChange([this, key](Edit::UpdateSection&) {
        if (item->options != nullptr) item->index = item->options->listedOrFirst(key);
        updateValue();
    });
}

void EffectItemFontSelectControl::showFontMenu() {
    const Effect::EffectItemSelect::SharedList& fonts = Effect::EffectItemFontSelect::getFontList();
    const std::wstring current = fonts.nameOf(item->index);
    Window::PopupMenu menu;
    if (Window::host().fontMenu) {
        Window::host().fontMenu(menu, current, [this, &fonts](const wchar_t* family) {
            selectKey(family != nullptr ? fonts.indexOf(family) : Effect::EffectItemFontSelect::getDefaultIndex());
        });
    } else {
        for (const auto& [key, family] : fonts.indexMap) {
            const Window::BaseMenu::Item entry = menu.insertItem(family, [this, key = key] { selectKey(key); });
            entry.setRadioCheck();
            if (key == item->index) Platform::window::checkMenuItem(entry.menu, static_cast<uint32_t>(entry.id), true);
        }
    }
    menu.show();
}

}  // namespace Component
