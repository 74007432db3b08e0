#include "ui/dialogs/DialogItemNameText.h"

#include "ui/dialogs/NameCharacters.h"

namespace Dialog {

DialogItemNameText::DialogItemNameText(const wchar_t* label, std::wstring text, bool required)
    : DialogItemText(label, std::move(text), required) {}

bool DialogItemNameText::submit() {
    if (!submitText()) return false;
    if (!hasRefusedNameCharacter(text)) return true;
    showRefusedNameCharacters(*window, control);
    return false;
}

}  // namespace Dialog
