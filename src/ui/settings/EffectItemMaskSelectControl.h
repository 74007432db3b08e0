#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "effect/EffectItemMaskSelect.h"
#include "ui/controls/TextButtonControl.h"
#include "ui/settings/EffectItemSelectBase.h"

namespace Edit {
class UpdateSection;
}

// The row of a mask item: a figure of the list, a file or a scene of the
// project. The name button's menu offers a file and the scenes; the value
// button the figures. The check that fits the mask scene's length has a row
// only while a scene is the mask.
namespace Component {

class EffectItemMaskSelectControl : public EffectItemSelectBase<Effect::EffectItemMaskSelect> {
public:
    EffectItemMaskSelectControl(Window::ControlContainer& parent, EffectSetting& block,
                                const std::shared_ptr<Effect::EffectBase>& effect, Effect::EffectItemMaskSelect& item);

    static std::shared_ptr<EffectItemBaseControl> create(Effect::EffectItem& item, Window::ControlContainer& parent,
                                                         EffectSetting& block,
                                                         const std::shared_ptr<Effect::EffectBase>& effect);

    void updateValue() override;
    void selectKey(int32_t key) override;
    void setMaskScene(int32_t id);
    void updateFile(const std::wstring& path) override;
    void showMaskMenu();

    Control::TextButtonControl nameButton;

private:
    // Shows or hides the linked check with the scene choice; a change rebuilds the panel.
    void followScene(Edit::UpdateSection& scope);
};

}  // namespace Component
