#pragma once
#include "ui/dialogs/MenuDefineDialog.h"

namespace Effect {
class MovementParamsDefine;
}

namespace Dialog {

// The time-control preset menu: every movement-parameter preset.
class MovementParamsMenuDialog : public MenuDefineDialog<Effect::MovementParamsDefine> {
public:
    using MenuDefineDialog::MenuDefineDialog;

protected:
    void fillItems(List& list) override;
};

}  // namespace Dialog
