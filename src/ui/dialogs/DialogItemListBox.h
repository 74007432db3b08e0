#pragma once
#include <vector>

#include "ui/dialogs/DialogItem.h"

namespace Dialog {

// A drop-down list of fixed choices, shown through the Dialog table; the
// index refers to the stored (untranslated) list.
class DialogItemListBox : public DialogItem {
public:
    DialogItemListBox(const wchar_t* label, int32_t selected);

    void create(Platform::window::DialogWindow& parent, int32_t x, int32_t y, int32_t width,
                int32_t height) override;
    // The chosen entry becomes the index; nothing chosen keeps it.
    bool submit() override;

    void addItem(const std::wstring& text);
    // Selects the first choice equal to the text; an absent one changes nothing.
    void selectItem(const std::wstring& text);

    int32_t selected = 0;
    std::vector<std::wstring> choices;
};

}  // namespace Dialog
