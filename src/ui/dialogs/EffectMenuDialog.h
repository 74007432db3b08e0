#pragma once
#include "ui/dialogs/MenuDefineDialog.h"

namespace Effect {
class EffectMenuDefine;
}

namespace Dialog {

// The add-object and add-filter menus: every effect and every alias.
class EffectMenuDialog : public MenuDefineDialog<Effect::EffectMenuDefine> {
public:
    using MenuDefineDialog::MenuDefineDialog;

protected:
    void fillItems(List& list) override;
};

}  // namespace Dialog
