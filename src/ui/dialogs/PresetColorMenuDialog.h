#pragma once
#include "ui/dialogs/MenuDefineDialog.h"

namespace Effect {
class PresetColorDefine;
}

namespace Dialog {

// The preset colour menu: every named palette colour.
class PresetColorMenuDialog : public MenuDefineDialog<Effect::PresetColorDefine> {
public:
    using MenuDefineDialog::MenuDefineDialog;

protected:
    void fillItems(List& list) override;
};

}  // namespace Dialog
