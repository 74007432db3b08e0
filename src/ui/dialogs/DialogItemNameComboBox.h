#pragma once
#include "ui/dialogs/DialogItemComboBox.h"

namespace Dialog {

// A name combo box: may be left empty; refuses the refused name characters.
class DialogItemNameComboBox : public DialogItemComboBox {
public:
    DialogItemNameComboBox(const wchar_t* label, std::wstring text);
    bool submit() override;
};

}  // namespace Dialog
