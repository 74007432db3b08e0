#pragma once
#include "ui/dialogs/DialogItem.h"

namespace Dialog {

// A one-line text field. A required text left empty shows "必須項目です"
// under the field for three seconds and keeps the dialog open.
class DialogItemText : public DialogItem {
public:
    DialogItemText(const wchar_t* label, std::wstring text, bool required);

    void create(Platform::window::DialogWindow& parent, int32_t x, int32_t y, int32_t width,
                int32_t height) override;
    bool submit() override;
    void update() override;

    std::wstring text;
    bool required = false;

protected:
    // The text submit: the field's text into text, or false for an empty required one.
    bool submitText();
};

}  // namespace Dialog
