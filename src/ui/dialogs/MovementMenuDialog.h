#pragma once
#include "ui/dialogs/MenuDefineDialog.h"

namespace Effect {
class MovementDefine;
}

namespace Dialog {

// The track-bar movement menu.
class MovementMenuDialog : public MenuDefineDialog<Effect::MovementDefine> {
public:
    using MenuDefineDialog::MenuDefineDialog;

protected:
    void fillItems(List& list) override;
};

}  // namespace Dialog
