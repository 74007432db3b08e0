#pragma once
#include <memory>
#include <string>

#include "effect/EffectItemComboFile.h"
#include "ui/controls/TextButtonControl.h"
#include "ui/settings/EffectItemSelectBase.h"

// The row of a figure item: an entry of the figure list or a file in its
// place. The name button opens the file dialog; the value button the list.
namespace Component {

class EffectItemComboFileControl : public EffectItemSelectBase<Effect::EffectItemComboFile> {
public:
    EffectItemComboFileControl(Window::ControlContainer& parent, EffectSetting& block,
                               const std::shared_ptr<Effect::EffectBase>& effect, Effect::EffectItemComboFile& item);

    static std::shared_ptr<EffectItemBaseControl> create(Effect::EffectItem& item, Window::ControlContainer& parent,
                                                         EffectSetting& block,
                                                         const std::shared_ptr<Effect::EffectBase>& effect);

    void updateValue() override;
    // An entry of the list; the file is dropped.
    void selectKey(int32_t key) override;
    // A file in place of the entry; an empty path changes nothing.
    void updateFile(const std::wstring& path) override;
    void chooseFile();

    Control::TextButtonControl nameButton;
};

}  // namespace Component
