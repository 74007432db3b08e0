#include "ui/dialogs/DialogItemNameComboBox.h"

#include "ui/dialogs/NameCharacters.h"

namespace Dialog {

DialogItemNameComboBox::DialogItemNameComboBox(const wchar_t* label, std::wstring text)
    : DialogItemComboBox(label, std::move(text), false) {}

bool DialogItemNameComboBox::submit() {
    if (!submitText()) return false;
    if (!hasRefusedNameCharacter(text)) return true;
    showRefusedNameCharacters(*window, control);
    return false;
}

}  // namespace Dialog
