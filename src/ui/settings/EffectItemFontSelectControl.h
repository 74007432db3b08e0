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
    // The font menu is the program's (Window::Host::fontMenu); without one
    // the menu lists every family of the font list.

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
