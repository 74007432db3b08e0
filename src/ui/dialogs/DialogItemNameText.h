#pragma once
#include "ui/dialogs/DialogItemText.h"

namespace Dialog {

// A name field: a text field whose text may not hold the refused name
// characters (an empty text passes that check).
class DialogItemNameText : public DialogItemText {
public:
    DialogItemNameText(const wchar_t* label, std::wstring text, bool required);
    bool submit() override;
};

}  // namespace Dialog
