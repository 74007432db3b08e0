#pragma once
#include <functional>
#include <memory>
#include <string>

#include "effect/EffectItemFontSelect.h"
#include "ui/controls/TextButtonControl.h"
#include "ui/settings/EffectItemSelectBase.h"

namespace Window {
class BaseMenu;
}

// The row of a font item: a name button with the font menu and the value
// button with the chosen family from the process's font list.
namespace Component {

class EffectItemFontSelectControl : public EffectItemSelectBase<Effect::EffectItemFontSelect> {
public:
    // Fills the font menu with the user's font entries, the current family
    // marked; a chosen entry calls choose with its family (null: the default).
    // Installed at start-up by the menus; without it the menu lists every
    // family of the font list.
    using FontMenu = std::function<void(Window::BaseMenu& menu, const std::wstring& current,
                                        std::function<void(const wchar_t* family)> choose)>;
    static FontMenu fontMenu;

    EffectItemFontSelectControl(Window::ControlContainer& parent, EffectSetting& block,
                                const std::shared_ptr<Effect::EffectBase>& effect, Effect::EffectItemFontSelect& item);

    static std::shared_ptr<EffectItemBaseControl> create(Effect::EffectItem& item, Window::ControlContainer& parent,
                                                         EffectSetting& block,
                                                         const std::shared_ptr<Effect::EffectBase>& effect);

    void updateValue() override;
    void selectKey(int32_t key) override;
    void showFontMenu();

    Control::TextButtonControl nameButton;
};

}  // namespace Component
