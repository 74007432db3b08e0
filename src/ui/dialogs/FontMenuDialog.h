#pragma once
#include "ui/dialogs/MenuDefineDialog.h"

namespace Media {
class FontDefine;
}

namespace Dialog {

// The font menu: every registered font.
class FontMenuDialog : public MenuDefineDialog<Media::FontDefine> {
public:
    using MenuDefineDialog::MenuDefineDialog;

protected:
    void fillItems(List& list) override;
};

}  // namespace Dialog
