#include "ui/dialogs/InputStringDialog.h"

#include "ui/dialogs/DialogItemText.h"

namespace Dialog {

bool InputStringDialog::open(std::wstring& text, bool required) {
    DialogItemText* item = addNameText(text, required);
    if (!create()) return false;
    text = item->text;
    return true;
}

}  // namespace Dialog
