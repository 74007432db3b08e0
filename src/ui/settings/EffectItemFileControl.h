#pragma once
#include <memory>
#include <string>

#include "effect/EffectItemFile.h"
#include "ui/controls/TextButtonControl.h"
#include "ui/controls/TextControl.h"
#include "ui/settings/EffectItemControl.h"

// The row of a file item: a name button that opens the file dialog and the
// chosen file's name. A chosen or dropped file is one undo step.
namespace Component {

class EffectItemFileControl : public EffectItemControl<Effect::EffectItemFile> {
public:
    EffectItemFileControl(Window::ControlContainer& parent, EffectSetting& block,
                          const std::shared_ptr<Effect::EffectBase>& effect, Effect::EffectItemFile& item);

    static std::shared_ptr<EffectItemBaseControl> create(Effect::EffectItem& item, Window::ControlContainer& parent,
                                                         EffectSetting& block,
                                                         const std::shared_ptr<Effect::EffectBase>& effect);

    void updateFile(const std::wstring& path) override;
    void updateValue() override;
    void chooseFile();

    Control::TextButtonControl nameButton;
    Control::TextControl valueText;
};

}  // namespace Component
